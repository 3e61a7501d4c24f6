#include "platform/qt/GridTableModel.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QPalette>

#include "platform/qt/QtText.h"

namespace corvane::qt {

QColor toQColor(ui::Color color) {
    if (color & 0x80000000) {
        const QPalette palette = QApplication::palette();
        switch (color & 0xFF) {
        case 2: return palette.color(QPalette::Highlight);         // active caption
        case 3: return palette.color(QPalette::Mid);               // inactive caption
        case 5: return palette.color(QPalette::Base);              // window
        case 8: case 18: return palette.color(QPalette::Text);     // window and button text
        case 9: case 14: return palette.color(QPalette::HighlightedText);
        case 13: return palette.color(QPalette::Highlight);
        case 15: return palette.color(QPalette::Button);
        case 16: return palette.color(QPalette::Dark);
        case 17: case 19: return palette.color(QPalette::PlaceholderText);
        case 20: return palette.color(QPalette::Light);
        default: return palette.color(QPalette::Window);
        }
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

GridTableModel::GridTableModel(ui::DBGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    ui::GridRowSource* rows = grid_.rowSource();
    return rows && rows->isActive() ? rows->rowCount() : 0;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(grid_.columns().size());
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return toQt(grid_.cellText(index.row(), index.column()));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case Qt::FontRole: {
        ui::CellStyle style = grid_.cellStyle(index.row(), index.column());
        if (role == Qt::BackgroundRole) return QBrush(toQColor(style.brush));
        if (role == Qt::ForegroundRole) return QBrush(toQColor(style.fontColor));
        QFont font;
        font.setBold(style.fontStyle & ui::fsBold);
        font.setItalic(style.fontStyle & ui::fsItalic);
        font.setUnderline(style.fontStyle & ui::fsUnderline);
        return font;
    }
    case Qt::CheckStateRole:
        if (index.column() == 0 && (grid_.options() & ui::dgMultiSelect))
            return grid_.selectedRows().contains(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    default: return {};
    }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()) {
        const ui::GridColumn& column = grid_.columns()[static_cast<std::size_t>(section)];
        if (role == Qt::DisplayRole) return toQt(column.title.empty() ? column.fieldName : column.title);
        if (role == Qt::BackgroundRole) return QBrush(toQColor(grid_.titleColor()));
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) {
        ui::GridRowSource* rows = grid_.rowSource();
        return rows && rows->currentRow() == section ? QStringLiteral("\u25B6") : QString();
    }
    return {};
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!grid_.readOnly() && (grid_.options() & ui::dgEditing) && index.isValid() &&
        !grid_.columns()[static_cast<std::size_t>(index.column())].readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    if (!grid_.editCell(index.row(), index.column(), fromQt(value.toString()))) return false;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

void GridTableModel::refresh() {
    beginResetModel();
    endResetModel();
}

}  // namespace corvane::qt
