#include "shell/aboutwindow.h"

#include "widgets/art.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"
#include "widgets/labelclick.h"
#include "widgets/openemail.h"
#include "store/ui.h"

#include <QLabel>
#include <QUrl>

namespace veil {

const QString Form6::webSite = QStringLiteral("https://veilcase.example.org");
const QString Form6::donations = QStringLiteral("https://veilcase.example.org/donate");
const QString Form6::support = QStringLiteral("support@veilcase.example.org");

namespace {

QLabel* link(QWidget* parent, const QString& name, const QString& text, const QRect& r) {
    QLabel* l = makeLinkLabel(parent, name, text, r);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 192));
    l->setPalette(p);
    return l;
}

QLabel* wrapped(QWidget* parent, const QString& name, const QString& text, const QRect& r) {
    QLabel* l = makeLabel(parent, name, text, r);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

Form6::Form6(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form6")) {
    QWidget* c = designClient(QStringLiteral("About Veilcase"), 6240, 5640);

    Image1 = makePicture(c, QStringLiteral("Image1"), art::Picture::AboutPicture,
                         twRect(240, 240, 1800, 1800));

    Label6 = makeLabel(c, QStringLiteral("Label6"), QStringLiteral("Veilcase version 1.0"),
                       twRect(2280, 300, 3720, 285), true);
    Label8 = wrapped(c, QStringLiteral("Label8"),
                     QStringLiteral("Case files for the people who look into haunted places."),
                     twRect(2280, 720, 3720, 480));
    Label1 = wrapped(c, QStringLiteral("Label1"),
                     QStringLiteral("Made by the Veilcase volunteers. Your cases stay on this computer."),
                     twRect(2280, 1320, 3720, 480));

    Label9 = makeLabel(c, QStringLiteral("Label9"), QStringLiteral("For more information check out the webiste at:"),
                       twRect(240, 2220, 5760, 255));
    Label2 = link(c, QStringLiteral("Label2"), webSite, twRect(240, 2475, 5760, 255));
    Label10 = makeLabel(c, QStringLiteral("Label10"), QStringLiteral("Please direct all comments, questions, ideas"),
                        twRect(240, 2880, 5760, 255));
    Label11 = makeLabel(c, QStringLiteral("Label11"), QStringLiteral("and bugs to:"), twRect(240, 3135, 5760, 255));
    Label3 = link(c, QStringLiteral("Label3"), support, twRect(240, 3390, 5760, 255));
    Label4 = wrapped(c, QStringLiteral("Label4"),
                     QStringLiteral("If you find this software useful and would like to make a donation to "
                                    "continue its development, please click the link below."),
                     twRect(240, 3780, 5760, 690));
    Label5 = link(c, QStringLiteral("Label5"), donations, twRect(240, 4530, 5760, 255));

    Label7 = new ImageButton(c, QStringLiteral("Label7"), QStringLiteral("Image2"), QStringLiteral("Ok"),
                             twRect(2655, 5040, 930, 285));

    onClick(Label2, [this] { openWebLink(webSite); });
    onClick(Label5, [this] { openWebLink(donations); });
    onClick(Label3, [] { OpenEmail(support, QStringLiteral("Veilcase Support")); });
    connect(Label7, &ImageButton::released, this, [this] { unload(); });
}

void Form6::load() { CenterForm(); }

void Form6::openWebLink(const QString& address) { Ui::get().openUrl(QUrl(address)); }

} // namespace veil
