// The About window (Form6): version, web site, support address, donations.
#pragma once

#include "shell/casewindow.h"

class QLabel;

namespace veil {

class ImageButton;

// The About window: version, the web site, the support address and the
// donations page, each a link the desktop opens.
class Form6 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form6(MDIForm1& frame);

    void load() override;

    static const QString webSite;
    static const QString donations;
    static const QString support;

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    ImageButton* Label7 = nullptr;

private:
    // Hands a web address to the desktop; the result is not looked at.
    void openWebLink(const QString& address);
};

} // namespace veil
