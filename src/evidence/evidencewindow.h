#pragma once

#include "shell/casewindow.h"
#include "store/evidence.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;
class QTextEdit;

namespace veil {

class ClipPlayer;
class EvidenceModel;
class ImageButton;

// The evidence log of one investigation: a sortable, filterable table of its
// findings, an editor for the chosen one, the two imports and clip playback.
// Changes wait in the table until Save stores them all in one transaction; a
// delete is stored at once after a question and can be undone while the
// window is open.
//
// Controls (objectName): FilterBox, KindFilter, StartBox (when a recording
// began, for label imports), FindingsTable; FindingEditor with TimeBox,
// KindBox, AreaBox, InvestigatorBox, DeviceBox, ReadingBox, UnitBox, MediaBox,
// MediaButton, ClipStartBox, ClipLengthBox, EvpClassBox, StatusBox,
// ExplanationBox, NoteBox; ClipVideo; buttons AddButton, DeleteButton,
// UndoButton, SaveButton, PlayButton, StopButton, CloseButton.
class EvidenceWindow : public CaseWindow {
    Q_OBJECT
public:
    explicit EvidenceWindow(MDIForm1& frame);

    void load() override;
    bool queryUnload() override;
    bool hasUnsavedChanges() const override;

    // Shows another investigation's log (asking about unsaved changes first).
    Q_INVOKABLE void showInvestigation(const QString& key);
    const QString& investigation() const { return m_night.key; }

    void Add();
    void Delete();
    void UndoDelete();
    bool Save();
    void ImportLabels();
    void ImportReadings();
    void Play();
    void chooseMedia();
    // Makes the finding with that id the chosen one (the timeline opens findings so).
    Q_INVOKABLE void selectFinding(qint64 id);

    EvidenceModel* model() const { return m_model; }
    ClipPlayer* clipPlayer() const { return m_player; }
    int currentRow() const { return m_row; }

    QLineEdit* FilterBox = nullptr;
    QComboBox* KindFilter = nullptr;
    QLineEdit* StartBox = nullptr;
    QTableView* FindingsTable = nullptr;
    QGroupBox* FindingEditor = nullptr;
    QLineEdit* TimeBox = nullptr;
    QComboBox* KindBox = nullptr;
    QComboBox* AreaBox = nullptr;
    QComboBox* InvestigatorBox = nullptr;
    QComboBox* DeviceBox = nullptr;
    QLineEdit* ReadingBox = nullptr;
    QComboBox* UnitBox = nullptr;
    QLineEdit* MediaBox = nullptr;
    ImageButton* MediaButton = nullptr;
    QLineEdit* ClipStartBox = nullptr;
    QLineEdit* ClipLengthBox = nullptr;
    QComboBox* EvpClassBox = nullptr;
    QComboBox* StatusBox = nullptr;
    QLineEdit* ExplanationBox = nullptr;
    QTextEdit* NoteBox = nullptr;
    ImageButton* AddButton = nullptr;
    ImageButton* DeleteButton = nullptr;
    ImageButton* UndoButton = nullptr;
    ImageButton* SaveButton = nullptr;
    ImageButton* PlayButton = nullptr;
    ImageButton* StopButton = nullptr;
    ImageButton* CloseButton = nullptr;

private:
    void reload();
    // True when the log belongs to a stored investigation; says so when not.
    bool knownNight() const;
    // Tells an open timeline of this investigation to read the log again.
    void tellTimeline();
    void fillChoices();
    void showRow(int row);
    // The editor's finding, or nullopt with the reason when a box is not understood.
    std::optional<evidence::Finding> editorFinding(QString* problem) const;
    bool keepEditor(); // writes the editor back into its row
    void applyFilter();
    int viewRowToModel(int viewRow) const;
    void selectModelRow(int row);
    bool runImport(const evidence::ImportPlan& plan, const QString& file);

    EvidenceModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    ClipPlayer* m_player = nullptr;
    evidence::Night m_night;
    QList<evidence::Finding> m_deleted; // newest last, for undo
    int m_row = -1;     // the model row in the editor
    bool m_filling = false;
};

} // namespace veil
