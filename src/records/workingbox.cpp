#include "records/workingbox.h"

#include "widgets/controls.h"

#include <QLineEdit>
#include <QRect>

namespace veil {

void makeWorkingBoxes(QWidget* parent, std::initializer_list<std::pair<QLineEdit**, const char*>> boxes) {
    for (const auto& [box, name] : boxes) {
        *box = makeTextBox(parent, QLatin1String(name), QRect());
        (*box)->hide();
    }
}

} // namespace veil
