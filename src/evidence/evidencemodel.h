#pragma once

#include "store/evidence.h"

#include <QAbstractTableModel>

namespace veil {

// The findings of one investigation as the Evidence window shows them. Rows
// keep their findings with what was changed but not yet saved.
class EvidenceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Kind, Area, Investigator, Device, Reading, Media, EvpClass, Status, Note, ColumnCount };
    static constexpr int SortRole = Qt::UserRole; // numbers sort as numbers

    using QAbstractTableModel::QAbstractTableModel;

    void reset(const QList<evidence::Finding>& findings);
    const QList<evidence::Finding>& findings() const { return m_rows; }
    const evidence::Finding& at(int row) const { return m_rows.at(row); }
    int rowOf(qint64 id) const;

    // Changes a row (marked unsaved when it differs), adds one, takes one out.
    void setFinding(int row, const evidence::Finding& f);
    int append(const evidence::Finding& f);
    evidence::Finding take(int row);

    bool hasUnsaved() const { return m_dirty.contains(true); }
    QList<int> unsavedRows() const;
    void markSaved(int row, qint64 id);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<evidence::Finding> m_rows;
    QList<bool> m_dirty; // beside m_rows: changed since loaded or saved
};

} // namespace veil
