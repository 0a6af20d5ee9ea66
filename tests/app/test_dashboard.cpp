#include "framefixture.h"

#include "imagebutton.h"
#include "picturebox.h"

#include <QComboBox>
#include <QTest>

using namespace veil;
using namespace veil::test;

class DashboardTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnEmptyDatabase() {
        Frame f;
        Form2* d = f.dashboard();
        QVERIFY(d);
        QCOMPARE(d->Combo1->count(), 1);
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("New"));
    }
};

QTEST_MAIN(DashboardTest)
#include "test_dashboard.moc"
