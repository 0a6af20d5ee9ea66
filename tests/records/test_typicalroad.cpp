#include "casetesting.h"

#include "form3.h"

using namespace veil;
using namespace veil::test;

// Location -> new investigation -> save -> close -> its interviews and pictures lists.
class TypicalRoadTest : public QObject {
    Q_OBJECT
private slots:
    void fromALocationToAStoredInvestigationReadyForInterviewsAndPictures() {
        Frame f;
        seedCase(*Connection::open(f.folder.path()));
        Form2* d = dashboardOn(f, {"Old Mill"});
        QCOMPARE(d->Combo2->currentText(), QStringLiteral("New"));
        d->Label7->click();

        Form3* w = f.window<Form3>("Form3");
        const DateTimeParts today = w->dateTime.parts();
        typeInto(w->dateTime.hour, "9");
        typeInto(w->dateTime.minute, "30");
        menu(w, "save");
        menu(w, "close");
        Frame::flush();

        QVERIFY(!f.frame->loaded("Form3") && d->isVisible());
        const QString key = today.month + '-' + today.day + '-' + today.year + " 9:30 pm-1";
        QCOMPARE(d->Combo2->currentText(), key);
        const int at = d->Combo2->findText(key);
        d->Combo2->setCurrentIndex(at);
        emit d->Combo2->activated(at);
        QCOMPARE(d->Combo3->currentText() + d->Combo4->currentText() + d->Label7->text(),
                 QStringLiteral("NewAddView"));
        d->Label8->click(); // no "Please select" message: the interview window opens for it
        QVERIFY(f.ui.messages.isEmpty() && f.frame->loaded("Form4"));
    }
};

VEIL_GERMAN_TEST_MAIN(TypicalRoadTest)
#include "test_typicalroad.moc"
