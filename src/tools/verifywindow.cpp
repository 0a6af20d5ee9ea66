#include "tools/verifywindow.h"

#include "shell/mainframe.h"
#include "store/ui.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace veil {

namespace {
QPushButton* makeButton(QWidget* parent, QHBoxLayout* row, const char* name, const char* caption) {
    auto* b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    row->addWidget(b);
    return b;
}
} // namespace

VerifyWindow::VerifyWindow(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("VerifyWindow")) {
    QWidget* c = designClient(QStringLiteral("Verify Evidence"), 10500, 6600, Background::Standard);
    auto* layout = new QVBoxLayout(c);

    SummaryLabel = new QLabel(c);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    layout->addWidget(SummaryLabel);

    VerifyProgress = new QProgressBar(c);
    VerifyProgress->setObjectName(QStringLiteral("VerifyProgress"));
    VerifyProgress->setRange(0, 1000);
    VerifyProgress->setTextVisible(false);
    layout->addWidget(VerifyProgress);

    ResultsList = new QTreeWidget(c);
    ResultsList->setObjectName(QStringLiteral("ResultsList"));
    ResultsList->setHeaderLabels({QStringLiteral("Status"), QStringLiteral("File"), QStringLiteral("Size"),
                                  QStringLiteral("Attached")});
    ResultsList->setRootIsDecorated(false);
    ResultsList->setUniformRowHeights(true);
    ResultsList->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ResultsList->header()->setStretchLastSection(false);
    layout->addWidget(ResultsList, 1);

    auto* row = new QHBoxLayout;
    VerifyButton = makeButton(c, row, "VerifyButton", "Verify Again");
    CancelButton = makeButton(c, row, "CancelButton", "Cancel");
    RecordButton = makeButton(c, row, "RecordButton", "Record Hashes...");
    SaveManifestButton = makeButton(c, row, "SaveManifestButton", "Save Manifest...");
    row->addStretch(1);
    CloseButton = makeButton(c, row, "CloseButton", "Close");
    layout->addLayout(row);

    connect(VerifyButton, &QPushButton::clicked, this, &VerifyWindow::startVerify);
    connect(CancelButton, &QPushButton::clicked, this, &VerifyWindow::cancelVerify);
    connect(RecordButton, &QPushButton::clicked, this, &VerifyWindow::recordHashes_Click);
    connect(SaveManifestButton, &QPushButton::clicked, this, &VerifyWindow::saveManifest_Click);
    connect(CloseButton, &QPushButton::clicked, this, [this] { unload(); });
    connect(&m_watcher, &QFutureWatcher<QList<CheckedFile>>::finished, this, &VerifyWindow::finished);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, [this] {
        const qint64 total = m_bytesTotal.load();
        VerifyProgress->setValue(total > 0 ? int(m_bytesDone.load() * 1000 / total) : 0);
    });
}

VerifyWindow::~VerifyWindow() { stopAndWait(); }

void VerifyWindow::load() {
    CenterForm();
    openDatabase();
    startVerify();
}

void VerifyWindow::unloaded() { stopAndWait(); }

void VerifyWindow::stopAndWait() {
    m_cancel = true;
    m_watcher.waitForFinished();
}

void VerifyWindow::startVerify() {
    if (running())
        return;
    try {
        m_files = evidenceFiles(db(), programFolder());
    } catch (const DbError& e) {
        message(e.text());
        return;
    }
    m_cancel = false;
    m_cancelled = false;
    m_running = true;
    m_bytesDone = 0;
    m_bytesTotal = 0;
    VerifyProgress->setValue(0);
    SummaryLabel->setText(QStringLiteral("Checking %1 files...").arg(m_files.size()));
    showFiles();
    VerifyButton->setEnabled(false);
    RecordButton->setEnabled(false);
    SaveManifestButton->setEnabled(false);
    CancelButton->setEnabled(true);
    m_progressTimer->start();
    // The worker has its own copy of the list and touches nothing of the window but the counters.
    m_watcher.setFuture(QtConcurrent::run([this, files = m_files, folder = programFolder()]() mutable {
        VerifyOptions options;
        options.cancel = &m_cancel;
        options.progress = [this](const veil::VerifyProgress& p) {
            m_bytesTotal = p.bytesTotal;
            m_bytesDone = p.bytesDone;
        };
        m_cancelled = !verifyFiles(files, folder, options);
        return files;
    }));
}

void VerifyWindow::cancelVerify() {
    m_cancel = true;
    CancelButton->setEnabled(false);
}

void VerifyWindow::finished() {
    m_running = false;
    m_progressTimer->stop();
    if (m_watcher.future().resultCount() > 0)
        m_files = m_watcher.result();
    VerifyProgress->setValue(m_cancelled ? VerifyProgress->value() : VerifyProgress->maximum());
    showFiles();
    VerifyButton->setEnabled(true);
    CancelButton->setEnabled(false);
    SaveManifestButton->setEnabled(!m_files.isEmpty());
    emit verified();
}

void VerifyWindow::showFiles() {
    ResultsList->clear();
    int counts[5] = {};
    bool hashedUnrecorded = false;
    QList<QTreeWidgetItem*> items;
    for (const CheckedFile& f : m_files) {
        ++counts[int(f.status)];
        hashedUnrecorded |= f.status == FileStatus::Unrecorded && !f.foundSha256.isEmpty();
        const qint64 size = f.size >= 0 ? f.size : f.foundSize;
        auto* item = new QTreeWidgetItem({statusName(f.status), f.path, size >= 0 ? QString::number(size) : QString(),
                                          f.attached});
        item->setData(0, Qt::UserRole, int(f.status));
        if (!f.problem.isEmpty())
            item->setToolTip(0, f.problem);
        items << item;
    }
    ResultsList->addTopLevelItems(items);
    for (int c : {0, 2, 3})
        ResultsList->resizeColumnToContents(c);
    RecordButton->setEnabled(hashedUnrecorded && !running());
    if (running())
        return;
    QString summary = QStringLiteral("%1 files: %2 ok, %3 changed, %4 missing, %5 unrecorded.")
                          .arg(m_files.size())
                          .arg(counts[int(FileStatus::Ok)])
                          .arg(counts[int(FileStatus::Changed)])
                          .arg(counts[int(FileStatus::Missing)])
                          .arg(counts[int(FileStatus::Unrecorded)]);
    if (m_cancelled)
        summary += QStringLiteral(" Cancelled: %1 not checked.").arg(counts[int(FileStatus::NotChecked)]);
    SummaryLabel->setText(summary);
}

void VerifyWindow::recordHashes_Click() {
    int unrecorded = 0;
    for (const CheckedFile& f : m_files)
        unrecorded += f.status == FileStatus::Unrecorded && !f.foundSha256.isEmpty();
    if (unrecorded == 0 || running())
        return;
    if (!Ui::get().question(QStringLiteral("Record the fingerprints of %1 unrecorded files as they are now?\n\n"
                                           "Later checks will then compare them with what they are today, so "
                                           "do this only for files you know to be the originals.")
                                .arg(unrecorded),
                            kProgramName))
        return;
    try {
        veil::recordHashes(db(), m_files);
    } catch (const DbError& e) {
        message(e.text());
        return;
    }
    showFiles();
}

void VerifyWindow::saveManifest_Click() {
    if (running() || m_files.isEmpty())
        return;
    const QString path = Ui::get().saveFileName(QStringLiteral("Save Manifest"), QStringLiteral("CSV files (*.csv)"),
                                                QDir(programFolder()).filePath(QStringLiteral("manifest.csv")));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeManifest(path, m_files, &error))
        message(QStringLiteral("The manifest could not be saved to \"%1\": %2").arg(path, error));
    else
        SummaryLabel->setText(SummaryLabel->text() + QStringLiteral(" Manifest saved to %1.").arg(path));
}

} // namespace veil
