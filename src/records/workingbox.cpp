#include "records/workingbox.h"

#include "widgets/controls.h"

#include <QLineEdit>
#include <QRect>

namespace veil {

QLineEdit* makeWorkingBox(QWidget* parent, const QString& name) {
    QLineEdit* box = makeTextBox(parent, name, QRect());
    box->hide();
    return box;
}

} // namespace veil
