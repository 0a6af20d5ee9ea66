#include "evidence/evidencewindow.h"

#include "evidence/clipplayer.h"
#include "evidence/evidencemodel.h"
#include "evidence/timelinewindow.h"
#include "shell/dashboardwindow.h"
#include "shell/investigationlinks.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "store/ui.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTextEdit>
#include <QVideoWidget>

#include <cmath>

namespace veil {

using namespace evidence;

namespace {

const QString kAllKinds = QStringLiteral("All kinds");
const QString kMediaFilter = QStringLiteral(
    "Recordings (*.wav *.mp3 *.ogg *.oga *.flac *.m4a *.aac *.mp4 *.mov *.m4v *.avi *.mkv *.webm);;All files (*)");

// Text in any column, and the chosen kind.
class FindingFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void set(const QString& text, const QString& kind) {
        m_text = text.trimmed();
        m_kind = kind;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        const auto* m = static_cast<const EvidenceModel*>(sourceModel());
        if (!m_kind.isEmpty() && m->at(row).kind != m_kind)
            return false;
        if (m_text.isEmpty())
            return true;
        for (int c = 0; c < EvidenceModel::ColumnCount; ++c)
            if (m->index(row, c).data().toString().contains(m_text, Qt::CaseInsensitive))
                return true;
        return false;
    }

private:
    QString m_text, m_kind;
};

QComboBox* choice(QWidget* parent, const char* name, bool editable) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

QLineEdit* box(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

void setChoices(QComboBox* c, const QStringList& items) {
    const QString text = c->currentText();
    c->clear();
    c->addItems(items);
    c->setCurrentText(text);
}

QString seconds(const std::optional<qint64>& ms) {
    return ms ? QString::number(double(*ms) / 1000.0, 'f', 3) : QString();
}

} // namespace

EvidenceWindow::EvidenceWindow(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("EvidenceWindow")) {
    QWidget* c = designClient(QStringLiteral("Evidence"), 12300, 9900);

    makeLabel(c, QStringLiteral("FilterLabel"), QStringLiteral("Filter:"), twRect(240, 150, 600, 255), true);
    FilterBox = makeTextBox(c, QStringLiteral("FilterBox"), twRect(900, 120, 3300, 315));
    FilterBox->setClearButtonEnabled(true);
    KindFilter = choice(c, "KindFilter", false);
    KindFilter->setGeometry(twRect(4320, 120, 2100, 315));
    KindFilter->addItems(QStringList{kAllKinds} + kinds());
    makeLabel(c, QStringLiteral("StartLabel"), QStringLiteral("Recording began:"), twRect(6720, 150, 1900, 255), true);
    StartBox = makeTextBox(c, QStringLiteral("StartBox"), twRect(8640, 120, 1500, 315));
    StartBox->setPlaceholderText(QStringLiteral("HH:MM:SS"));

    m_model = new EvidenceModel(this);
    m_proxy = new FindingFilter(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(EvidenceModel::SortRole);
    FindingsTable = new QTableView(c);
    FindingsTable->setObjectName(QStringLiteral("FindingsTable"));
    FindingsTable->setGeometry(twRect(240, 540, 11820, 4080));
    FindingsTable->setModel(m_proxy);
    FindingsTable->setSortingEnabled(true);
    FindingsTable->sortByColumn(EvidenceModel::Time, Qt::AscendingOrder);
    FindingsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    FindingsTable->setSelectionMode(QAbstractItemView::SingleSelection);
    FindingsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FindingsTable->verticalHeader()->hide();
    FindingsTable->verticalHeader()->setDefaultSectionSize(20);
    FindingsTable->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {120, 95, 90, 110, 90, 75, 130, 70, 95};
    for (int col = 0; col < int(std::size(widths)); ++col)
        FindingsTable->setColumnWidth(col, widths[col]);

    FindingEditor = makeFrame(c, QStringLiteral("FindingEditor"), QStringLiteral("Finding"),
                              twRect(240, 4740, 8400, 4560));
    auto* g = new QGridLayout(FindingEditor);
    g->setContentsMargins(8, 18, 8, 8);
    g->setVerticalSpacing(4);
    auto label = [&](const QString& text, int row, int col) {
        auto* l = new QLabel(text, FindingEditor);
        QString name = text;
        name.remove(QRegularExpression(QStringLiteral("[^A-Za-z]")));
        l->setObjectName(name + QStringLiteral("Label"));
        g->addWidget(l, row, col);
    };
    TimeBox = box(FindingEditor, "TimeBox");
    TimeBox->setToolTip(QStringLiteral("HH:MM:SS.mmm; \"+1d\" in front for the next day"));
    KindBox = choice(FindingEditor, "KindBox", false);
    KindBox->addItems(kinds());
    AreaBox = choice(FindingEditor, "AreaBox", true);
    InvestigatorBox = choice(FindingEditor, "InvestigatorBox", true);
    DeviceBox = choice(FindingEditor, "DeviceBox", true);
    ReadingBox = box(FindingEditor, "ReadingBox");
    UnitBox = choice(FindingEditor, "UnitBox", true);
    UnitBox->addItems({QString(), "mG", "µT", QStringLiteral("°C"), QStringLiteral("°F"), "%", "dB", "hPa"});
    MediaBox = box(FindingEditor, "MediaBox");
    MediaBox->setReadOnly(true);
    ClipStartBox = box(FindingEditor, "ClipStartBox");
    ClipLengthBox = box(FindingEditor, "ClipLengthBox");
    EvpClassBox = choice(FindingEditor, "EvpClassBox", false);
    EvpClassBox->addItems(QStringList{QString()} + evpClasses());
    StatusBox = choice(FindingEditor, "StatusBox", false);
    StatusBox->addItems(QStringList{QString()} + statuses());
    ExplanationBox = box(FindingEditor, "ExplanationBox");
    NoteBox = makeRichTextBox(FindingEditor, QStringLiteral("NoteBox"), QRect());
    label("Time:", 0, 0), g->addWidget(TimeBox, 0, 1);
    label("Kind:", 0, 2), g->addWidget(KindBox, 0, 3);
    label("Area:", 1, 0), g->addWidget(AreaBox, 1, 1);
    label("Investigator:", 1, 2), g->addWidget(InvestigatorBox, 1, 3);
    label("Device:", 2, 0), g->addWidget(DeviceBox, 2, 1);
    label("Reading:", 2, 2);
    auto* reading = new QHBoxLayout;
    reading->addWidget(ReadingBox, 2);
    reading->addWidget(UnitBox, 1);
    g->addLayout(reading, 2, 3);
    label("Media:", 3, 0), g->addWidget(MediaBox, 3, 1, 1, 3);
    label("Clip from (s):", 4, 0), g->addWidget(ClipStartBox, 4, 1);
    label("Clip length (s):", 4, 2), g->addWidget(ClipLengthBox, 4, 3);
    label("EVP class:", 5, 0), g->addWidget(EvpClassBox, 5, 1);
    label("Status:", 5, 2), g->addWidget(StatusBox, 5, 3);
    label("Explanation:", 6, 0), g->addWidget(ExplanationBox, 6, 1, 1, 3);
    label("Note:", 7, 0), g->addWidget(NoteBox, 7, 1, 1, 3);
    g->setRowStretch(7, 1);

    m_player = new ClipPlayer(c);
    m_player->video()->setGeometry(twRect(8760, 4860, 3300, 2475));

    makeButtons(this, c, 930, 285,
                {{&MediaButton, "MediaButton", "MediaFace", "Media", 8760, 7500, [this] { chooseMedia(); }},
                 {&PlayButton, "PlayButton", "PlayFace", "Play", 9840, 7500, [this] { Play(); }},
                 {&StopButton, "StopButton", "StopFace", "Stop", 10920, 7500, [this] { m_player->stop(); }},
                 {&AddButton, "AddButton", "AddFace", "Add", 240, 9420, [this] { Add(); }},
                 {&DeleteButton, "DeleteButton", "DeleteFace", "Delete", 1320, 9420, [this] { Delete(); }},
                 {&UndoButton, "UndoButton", "UndoFace", "Undo", 2400, 9420, [this] { UndoDelete(); }},
                 {&SaveButton, "SaveButton", "SaveFace", "Save", 3480, 9420, [this] { Save(); }},
                 {&CloseButton, "CloseButton", "CloseFace", "Close", 11130, 9420, [this] { unload(); }}});
    connect(FilterBox, &QLineEdit::textChanged, this, &EvidenceWindow::applyFilter);
    connect(KindFilter, &QComboBox::currentIndexChanged, this, &EvidenceWindow::applyFilter);
    connect(FindingsTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                if (m_filling)
                    return;
                const int row = now.isValid() ? viewRowToModel(now.row()) : -1;
                if (row == m_row)
                    return;
                if (!keepEditor()) {
                    selectModelRow(m_row); // the box that is not understood stays in view
                    return;
                }
                showRow(row);
            });

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("importLabels"), QStringLiteral("Import &Labels..."), [this] { ImportLabels(); });
    addItem(file, QStringLiteral("importReadings"), QStringLiteral("Import &Readings..."),
            [this] { ImportReadings(); });
    addSeparator(file, QStringLiteral("na1"));
    addItem(file, QStringLiteral("save"), QStringLiteral("&Save"), [this] { Save(); });
    addItem(file, QStringLiteral("close"), QStringLiteral("Close"), [this] { unload(); });
    QMenu* edit = addMenu(QStringLiteral("edit"), QStringLiteral("&Edit"));
    addItem(edit, QStringLiteral("add"), QStringLiteral("&Add"), [this] { Add(); });
    addItem(edit, QStringLiteral("delete"), QStringLiteral("&Delete"), [this] { Delete(); });
    addItem(edit, QStringLiteral("undo"), QStringLiteral("&Undo Delete"), [this] { UndoDelete(); });
    QMenu* view = addMenu(QStringLiteral("view"), QStringLiteral("&View"));
    addItem(view, QStringLiteral("timeline"), QStringLiteral("&Timeline"), [this] {
        if (!investigation().isEmpty() && Save())
            showForInvestigation(this->frame(), QStringLiteral("TimelineWindow"), investigation());
    });
    addHelpMenu();
}

void EvidenceWindow::load() {
    CenterForm();
    openDatabase();
    showInvestigation(chosenInvestigation(frame()));
}

bool EvidenceWindow::hasUnsavedChanges() const {
    if (m_model->hasUnsaved())
        return true;
    // The editor's boxes count too, even before they are written back.
    if (m_row < 0)
        return false;
    const auto f = editorFinding(nullptr);
    return !f || !(*f == m_model->at(m_row));
}

bool EvidenceWindow::queryUnload() {
    m_player->stop();
    if (frame().isShuttingDown() || !hasUnsavedChanges())
        return true;
    if (!Ui::get().question(QStringLiteral("The evidence log has changes that are not saved. Save them now?"),
                            kProgramName))
        return true;
    return Save();
}

void EvidenceWindow::showInvestigation(const QString& key) {
    if (!m_night.key.isEmpty() && key == m_night.key)
        return;
    if (!m_night.key.isEmpty() && hasUnsavedChanges() &&
        Ui::get().question(QStringLiteral("The evidence log of %1 has changes that are not saved. Save them now?")
                               .arg(m_night.key),
                           kProgramName) &&
        !Save())
        return;
    m_night = findNight(db(), key).value_or(Night(key));
    setCaption(QStringLiteral("Evidence : ") + key);
    m_deleted.clear();
    reload();
}

void EvidenceWindow::reload() {
    m_filling = true;
    m_row = -1;
    m_model->reset(findings(db(), m_night.key));
    m_filling = false;
    fillChoices();
    if (m_model->rowCount() > 0)
        selectModelRow(viewRowToModel(0));
    else
        showRow(-1);
}

bool EvidenceWindow::knownNight() const {
    if (m_night.id)
        return true;
    message(QStringLiteral("Please select an investigation"));
    return false;
}

void EvidenceWindow::tellTimeline() {
    if (auto* t = frame().loadedAs<TimelineWindow>(QStringLiteral("TimelineWindow")))
        t->logChanged(m_night.key);
}

void EvidenceWindow::fillChoices() {
    setChoices(AreaBox, QStringList{QString()} + areas(db(), m_night.key));
    QStringList members = db().column(tables::investigators, QStringLiteral("Name"));
    members.sort(Qt::CaseInsensitive);
    setChoices(InvestigatorBox, QStringList{QString()} + members);
    setChoices(DeviceBox, QStringList{QString()} + db().column(tables::equipment, QStringLiteral("Nick_Name")));
}

int EvidenceWindow::viewRowToModel(int viewRow) const {
    return m_proxy->mapToSource(m_proxy->index(viewRow, 0)).row();
}

void EvidenceWindow::selectModelRow(int row) {
    const QModelIndex at = row < 0 ? QModelIndex() : m_proxy->mapFromSource(m_model->index(row, 0));
    m_filling = true;
    FindingsTable->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    if (at.isValid())
        FindingsTable->scrollTo(at);
    m_filling = false;
    if (row != m_row)
        showRow(row);
}

void EvidenceWindow::selectFinding(qint64 id) {
    const int row = m_model->rowOf(id);
    if (row < 0 || !keepEditor())
        return;
    if (!m_proxy->mapFromSource(m_model->index(row, 0)).isValid()) {
        FilterBox->clear();
        KindFilter->setCurrentIndex(0);
    }
    selectModelRow(row);
}

void EvidenceWindow::showRow(int row) {
    m_row = row;
    const Finding f = row >= 0 ? m_model->at(row) : Finding{};
    FindingEditor->setEnabled(row >= 0);
    TimeBox->setText(row >= 0 ? formatClock(f.atMs) : QString());
    KindBox->setCurrentText(f.kind);
    AreaBox->setCurrentText(f.area);
    InvestigatorBox->setCurrentText(f.investigator);
    DeviceBox->setCurrentText(f.device);
    ReadingBox->setText(f.reading ? QString::number(*f.reading) : QString());
    UnitBox->setCurrentText(f.unit);
    MediaBox->setText(f.mediaPath);
    ClipStartBox->setText(seconds(f.clipStartMs));
    ClipLengthBox->setText(seconds(f.clipLengthMs));
    EvpClassBox->setCurrentText(f.evpClass);
    StatusBox->setCurrentText(f.status);
    ExplanationBox->setText(f.explanation);
    NoteBox->setPlainText(f.note);
    for (QWidget* w : std::initializer_list<QWidget*>{DeleteButton, MediaButton, PlayButton})
        w->setEnabled(row >= 0);
}

std::optional<Finding> EvidenceWindow::editorFinding(QString* problem) const {
    Finding f = m_model->at(m_row);
    static const QRegularExpression dayAhead(QStringLiteral("^\\+(\\d{1,3})d\\s+(.*)$"));
    QString time = TimeBox->text().trimmed();
    qint64 days = -1;
    if (const auto m = dayAhead.match(time); m.hasMatch()) {
        days = m.captured(1).toLongLong();
        time = m.captured(2);
    }
    const auto tod = parseTimeOfDay(time);
    auto refuse = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return std::optional<Finding>();
    };
    if (!tod)
        return refuse(QStringLiteral("Please write the time as HH:MM:SS (\"+1d\" in front for the next day)."));
    // A time left as shown keeps its day; a typed one is placed on the night.
    if (TimeBox->text().trimmed() != formatClock(f.atMs))
        f.atMs = days >= 0 ? days * kDayMs + *tod : placeTimeOfDay(*tod, m_night);
    f.kind = KindBox->currentText();
    f.area = AreaBox->currentText().trimmed();
    f.investigator = InvestigatorBox->currentText().trimmed();
    f.device = DeviceBox->currentText().trimmed();
    const QString reading = ReadingBox->text().trimmed();
    bool ok = true;
    f.reading = reading.isEmpty() ? std::nullopt : std::optional<double>(reading.toDouble(&ok));
    if (!ok || (f.reading && !std::isfinite(*f.reading)))
        return refuse(QStringLiteral("The reading \"%1\" is not a number.").arg(reading));
    f.unit = UnitBox->currentText().trimmed();
    f.mediaPath = MediaBox->text();
    for (auto [boxed, target] : {std::pair{ClipStartBox, &f.clipStartMs}, std::pair{ClipLengthBox, &f.clipLengthMs}}) {
        const QString text = boxed->text().trimmed();
        const double s = text.toDouble(&ok);
        if (text.isEmpty())
            *target = std::nullopt;
        else if (!ok || s < 0 || s > 1e7)
            return refuse(QStringLiteral("The clip's \"%1\" is not a number of seconds.").arg(text));
        else
            *target = qRound64(s * 1000);
    }
    f.evpClass = EvpClassBox->currentText();
    f.status = StatusBox->currentText();
    f.explanation = ExplanationBox->text();
    f.note = NoteBox->toPlainText();
    return f;
}

bool EvidenceWindow::keepEditor() {
    if (m_row < 0)
        return true;
    QString problem;
    const auto f = editorFinding(&problem);
    if (!f) {
        message(problem);
        return false;
    }
    m_model->setFinding(m_row, *f);
    return true;
}

void EvidenceWindow::applyFilter() {
    if (!keepEditor())
        return;
    static_cast<FindingFilter*>(m_proxy)->set(FilterBox->text(),
                                             KindFilter->currentIndex() > 0 ? KindFilter->currentText() : QString());
    const QModelIndex shown = m_row >= 0 ? m_proxy->mapFromSource(m_model->index(m_row, 0)) : QModelIndex();
    if (!shown.isValid())
        selectModelRow(m_proxy->rowCount() > 0 ? viewRowToModel(0) : -1);
}

void EvidenceWindow::Add() {
    if (!knownNight() || !keepEditor())
        return;
    Finding f;
    f.investigation = m_night.key;
    f.atMs = m_row >= 0 ? m_model->at(m_row).atMs : m_night.startMs.value_or(0);
    FilterBox->clear();
    KindFilter->setCurrentIndex(0);
    selectModelRow(m_model->append(f));
    TimeBox->setFocus();
    TimeBox->selectAll();
}

void EvidenceWindow::Delete() {
    if (m_row < 0)
        return;
    const Finding f = m_model->at(m_row);
    if (!Ui::get().question(QStringLiteral("Delete the %1 finding at %2?").arg(f.kind, formatClock(f.atMs)),
                            kProgramName))
        return;
    if (f.id) {
        try {
            QList<Finding> none;
            save(db(), none, {f.id});
        } catch (const DbError& e) {
            message(e.text());
            return;
        }
    }
    tellTimeline();
    const int row = m_row;
    const QModelIndex at = m_proxy->mapFromSource(m_model->index(row, 0));
    const int viewRow = at.row();
    m_row = -1;
    m_filling = true;
    m_deleted << m_model->take(row);
    m_filling = false;
    const int next = qMin(viewRow, m_proxy->rowCount() - 1);
    selectModelRow(next >= 0 ? viewRowToModel(next) : -1);
    if (next < 0)
        showRow(-1);
}

void EvidenceWindow::UndoDelete() {
    if (m_deleted.isEmpty() || !keepEditor())
        return;
    Finding f = m_deleted.takeLast();
    const bool wasStored = f.id != 0;
    f.id = 0;
    if (wasStored) {
        try {
            QList<Finding> back{f};
            save(db(), back);
            f.id = back.first().id;
        } catch (const DbError& e) {
            message(e.text());
            m_deleted << f;
            return;
        }
    }
    const int row = m_model->append(f);
    if (wasStored) {
        m_model->markSaved(row, f.id);
        tellTimeline();
    }
    selectModelRow(row);
}

bool EvidenceWindow::Save() {
    if (!keepEditor())
        return false;
    const QList<int> rows = m_model->unsavedRows();
    if (rows.isEmpty())
        return true;
    QList<Finding> changed;
    for (int r : rows)
        changed << m_model->at(r);
    try {
        save(db(), changed);
    } catch (const DbError& e) {
        message(e.text());
        return false;
    }
    for (int i = 0; i < rows.size(); ++i)
        m_model->markSaved(rows[i], changed[i].id);
    fillChoices();
    tellTimeline();
    setCaption(QStringLiteral("Evidence : %1 has been saved").arg(m_night.key));
    return true;
}

bool EvidenceWindow::runImport(const ImportPlan& plan, const QString& file) {
    if (plan.problems.isEmpty())
        return true;
    QStringList shown = plan.problems.mid(0, 12);
    if (plan.problems.size() > shown.size())
        shown << QStringLiteral("... and %1 more").arg(plan.problems.size() - shown.size());
    return Ui::get().question(QStringLiteral("These lines of %1 cannot be imported:\n%2\n\nImport the other lines?")
                                  .arg(QFileInfo(file).fileName(), shown.join(QLatin1Char('\n'))),
                              kProgramName);
}

namespace {
bool readFile(const QString& path, QByteArray* data) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        message(QStringLiteral("\"%1\" cannot be read: %2").arg(path, f.errorString()));
        return false;
    }
    *data = f.readAll();
    return true;
}
} // namespace

void EvidenceWindow::ImportLabels() {
    if (!knownNight() || !Save())
        return;
    const QString media = Ui::get().openFileName(QStringLiteral("Open Recording"), kMediaFilter, programFolder());
    if (media.isEmpty())
        return;
    const QString labelsFile = Ui::get().openFileName(
        QStringLiteral("Open Labels"), QStringLiteral("Label files (*.txt);;All files (*)"), QFileInfo(media).path());
    QByteArray labels;
    if (labelsFile.isEmpty() || !readFile(labelsFile, &labels))
        return;
    std::optional<qint64> startAt;
    if (!StartBox->text().trimmed().isEmpty()) {
        if (const auto tod = parseTimeOfDay(StartBox->text()))
            startAt = placeTimeOfDay(*tod, m_night);
        else
            return message(QStringLiteral("Please write when the recording began as HH:MM:SS."));
    } else if (const auto began = recordingStart(media)) {
        startAt = placeDateTime(*began, m_night);
    }
    if (!startAt)
        return message(QStringLiteral("The recording does not say when it began on this night. Please type its "
                                      "start in \"Recording began\" and import again."));
    if (!runImport(planLabels(labels, m_night, QString(), 0), labelsFile))
        return;
    QString error;
    const QString stored = attachMedia(programFolder(), m_night, media, &error);
    if (stored.isEmpty())
        return message(error);
    const ImportResult r = apply(db(), planLabels(labels, m_night, stored, *startAt));
    reload();
    tellTimeline();
    message(QStringLiteral("%1 findings added, %2 were there already.").arg(r.added).arg(r.alreadyThere));
}

void EvidenceWindow::ImportReadings() {
    if (!knownNight() || !Save())
        return;
    const QString csv = Ui::get().openFileName(QStringLiteral("Open Readings"),
                                               QStringLiteral("CSV files (*.csv);;All files (*)"), programFolder());
    QByteArray data;
    if (csv.isEmpty() || !readFile(csv, &data))
        return;
    const ImportPlan plan = planReadings(data, QFileInfo(csv).fileName(), m_night);
    if (!runImport(plan, csv))
        return;
    const ImportResult r = apply(db(), plan);
    reload();
    tellTimeline();
    message(QStringLiteral("%1 findings added, %2 were there already.").arg(r.added).arg(r.alreadyThere));
}

void EvidenceWindow::chooseMedia() {
    if (m_row < 0)
        return;
    const QString media = Ui::get().openFileName(QStringLiteral("Open Media"), kMediaFilter, programFolder());
    if (media.isEmpty())
        return;
    QString error;
    const QString stored = attachMedia(programFolder(), m_night, media, &error);
    if (stored.isEmpty())
        return message(error);
    MediaBox->setText(stored);
    keepEditor();
}

void EvidenceWindow::Play() {
    if (m_row < 0 || !keepEditor())
        return;
    const Finding& f = m_model->at(m_row);
    if (f.mediaPath.isEmpty())
        return message(QStringLiteral("This finding has no recording to play."));
    m_player->play(storedPicturePath(programFolder(), files::investigations, f.mediaPath), f.clipStartMs.value_or(0),
                   f.clipLengthMs.value_or(0));
}

} // namespace veil
