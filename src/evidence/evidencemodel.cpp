#include "evidence/evidencemodel.h"

#include <QFileInfo>

namespace veil {

using evidence::Finding;

void EvidenceModel::reset(const QList<Finding>& findings) {
    beginResetModel();
    m_rows = findings;
    m_dirty = QList<bool>(findings.size(), false);
    endResetModel();
}

int EvidenceModel::rowOf(qint64 id) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id)
            return i;
    return -1;
}

void EvidenceModel::setFinding(int row, const Finding& f) {
    if (m_rows.at(row) == f)
        return;
    m_rows[row] = f;
    m_dirty[row] = true;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int EvidenceModel::append(const Finding& f) {
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows << f;
    m_dirty << true;
    endInsertRows();
    return row;
}

Finding EvidenceModel::take(int row) {
    beginRemoveRows({}, row, row);
    const Finding f = m_rows.takeAt(row);
    m_dirty.removeAt(row);
    endRemoveRows();
    return f;
}

QList<int> EvidenceModel::unsavedRows() const {
    QList<int> out;
    for (int i = 0; i < m_dirty.size(); ++i)
        if (m_dirty[i])
            out << i;
    return out;
}

void EvidenceModel::markSaved(int row, qint64 id) {
    m_rows[row].id = id;
    m_dirty[row] = false;
}

int EvidenceModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }
int EvidenceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant EvidenceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != SortRole))
        return {};
    const Finding& f = m_rows.at(index.row());
    switch (index.column()) {
    case Time:
        return role == SortRole ? QVariant(f.atMs) : QVariant(evidence::formatClock(f.atMs));
    case Kind:
        return f.kind;
    case Area:
        return f.area;
    case Investigator:
        return f.investigator;
    case Device:
        return f.device;
    case Reading:
        if (!f.reading)
            return role == SortRole ? QVariant(-1e300) : QVariant(QString());
        return role == SortRole ? QVariant(*f.reading)
                                : QVariant(QStringLiteral("%1 %2").arg(*f.reading).arg(f.unit).trimmed());
    case Media:
        return f.mediaPath.isEmpty() ? QString() : f.mediaPath.section(QLatin1Char('\\'), -1);
    case EvpClass:
        return f.evpClass;
    case Status:
        return f.status;
    case Note:
        return f.note;
    default:
        return {};
    }
}

QVariant EvidenceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList names{"Time", "Kind", "Area", "Investigator", "Device", "Reading",
                                   "Media", "EVP class", "Status", "Note"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return names.value(section);
    return {};
}

} // namespace veil
