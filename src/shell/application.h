#pragma once

#include <QApplication>

namespace veil {

// The program's application object. A failure of the case database inside an
// event handler is reported in a message box and the program keeps running;
// nothing has been stored by the step that failed.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace veil
