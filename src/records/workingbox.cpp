#include "records/workingbox.h"

#include <QLineEdit>

#include <limits>

namespace veil {

QLineEdit* makeWorkingBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->hide();
    return box;
}

} // namespace veil
