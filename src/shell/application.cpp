#include "shell/application.h"

#include "store/casedb.h"
#include "store/installation.h"
#include "store/ui.h"

namespace veil {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    nameApplication();
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError& e) {
        message(e.text());
    } catch (const std::exception& e) {
        message(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace veil
