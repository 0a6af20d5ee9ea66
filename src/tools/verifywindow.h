#pragma once

#include "shell/casewindow.h"
#include "store/verification.h"

#include <QFutureWatcher>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace veil {

// Verify Evidence (Tools menu): hashes every recorded file again off the
// user-interface thread and lists each as ok, changed, missing or
// unrecorded; records the unrecorded ones after a question and saves the
// list as a CSV manifest.
//
// Controls: SummaryLabel, VerifyProgress, ResultsList (status, path, size,
// attached), VerifyButton, CancelButton, RecordButton, SaveManifestButton,
// CloseButton.
class VerifyWindow : public CaseWindow {
    Q_OBJECT
public:
    explicit VerifyWindow(MDIForm1& frame);
    ~VerifyWindow() override;

    void load() override;
    void unloaded() override;

    void startVerify();
    void cancelVerify();
    void recordHashes_Click();
    void saveManifest_Click();

    // From the start of a verification until its results are shown.
    bool running() const { return m_running; }
    const QList<CheckedFile>& files() const { return m_files; }

    QLabel* SummaryLabel = nullptr;
    QProgressBar* VerifyProgress = nullptr;
    QTreeWidget* ResultsList = nullptr;
    QPushButton* VerifyButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* RecordButton = nullptr;
    QPushButton* SaveManifestButton = nullptr;
    QPushButton* CloseButton = nullptr;

signals:
    void verified();

private:
    void finished();
    void showFiles();
    void stopAndWait();

    QList<CheckedFile> m_files;
    QFutureWatcher<QList<CheckedFile>> m_watcher;
    std::atomic<bool> m_cancel{false};
    std::atomic<qint64> m_bytesDone{0}, m_bytesTotal{0};
    QTimer* m_progressTimer = nullptr;
    bool m_cancelled = false;
    bool m_running = false;
};

} // namespace veil
