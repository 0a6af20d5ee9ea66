#include "widgets/widgetui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace veil {

void WidgetUi::message(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool WidgetUi::question(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool WidgetUi::confirmReplace(const QString& path) {
    const QFileInfo info(path);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Replace File"),
                    QStringLiteral("The folder \"%1\" already holds a file named \"%2\".\n\n"
                                   "Do you want to replace it?")
                        .arg(info.absolutePath(), info.fileName()),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetUi::openFileName(const QString& title, const QString& filter,
                               const QString& startFolder) {
    // A filter without a "(patterns)" part is shown as written and lists every
    // file: QFileDialog would take "*.bmp;*.gif;*;jpg" as one pattern that
    // matches nothing.
    if (!filter.contains(QLatin1Char('(')))
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, startFolder,
                                            filter + QStringLiteral(" (*)"), nullptr,
                                            QFileDialog::HideNameFilterDetails);
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, startFolder, filter);
}

QString WidgetUi::saveFileName(const QString& title, const QString& filter,
                               const QString& suggested) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter);
}

bool WidgetUi::openUrl(const QUrl& url) {
    if (QDesktopServices::openUrl(url)) return true;
    // Without a handler Qt only logs a warning; the user would see nothing happen.
    message(QStringLiteral("No program was found to open \"%1\".\n\n"
                           "Installing xdg-utils lets the desktop open the guide, web and "
                           "e-mail links with its default programs.")
                .arg(url.isLocalFile() ? url.toLocalFile() : url.toString()),
            kProgramName);
    return false;
}

} // namespace veil
