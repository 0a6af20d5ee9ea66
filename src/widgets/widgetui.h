#pragma once

#include "store/ui.h"

namespace veil {

// The real dialogs: Qt message boxes, the file dialog and QDesktopServices.
class WidgetUi final : public Ui {
public:
    void message(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    bool confirmReplace(const QString& path) override;
    QString openFileName(const QString& title, const QString& filter,
                         const QString& startFolder) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& suggested) override;
    bool openUrl(const QUrl& url) override;
};

} // namespace veil
