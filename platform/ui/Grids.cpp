#include "platform/ui/Grids.h"

#include <algorithm>

namespace corvane::ui {

int GridRowSource::fieldIndex(const std::string& name) const {
    for (int i = 0; i < fieldCount(); ++i)
        if (sameText(fieldName(i), name)) return i;
    return -1;
}

std::string DataSetRowSource::fieldName(int field) const {
    Field* f = model_.columnField(field);
    return f ? f->fieldName() : std::string();
}

bool DataSetRowSource::setText(int row, int field, const std::string& text) {
    if (!isActive() || model_.readOnly(field)) return false;
    model_.setText(row, field, text);
    return true;
}

CORVANE_DEFINE_CLASS(DBGrid, "TDBGrid", Control,
    p.dataSource("DataSource", &DBGrid::dataSource, &DBGrid::setDataSource)
        .boolean("ReadOnly", &DBGrid::readOnly, &DBGrid::setReadOnly)
        .set("Options", {"dgEditing", "dgTitles", "dgIndicator", "dgColumnResize", "dgColLines", "dgRowLines",
                         "dgTabs", "dgRowSelect", "dgAlwaysShowSelection", "dgConfirmDelete", "dgCancelOnExit",
                         "dgMultiSelect"},
             &DBGrid::options, &DBGrid::setOptions)
        .integer("TitleColor", &DBGrid::titleColor, &DBGrid::setTitleColor)
        .event("OnCalcCellColors", &DBGrid::OnCalcCellColors)
        .event("OnTitleButtonClick", &DBGrid::OnTitleButtonClick)
        .event("OnColEnter", &DBGrid::OnColEnter)
        .event("OnCellClick", &DBGrid::OnCellClick))

DBGrid::DBGrid() {
    setTabStop(true);
    setColor(clWindow);
    setBounds(0, 0, 320, 120);
}

GridRowSource* DBGrid::rowSource() const {
    if (rowSource_) return rowSource_;
    FieldDataLink* link = dataLink();
    if (!link || !link->dataSet()) return nullptr;
    if (dataSetRows_.dataSource() != link->dataSource()) dataSetRows_.setDataSource(link->dataSource());
    return &dataSetRows_;
}

void DBGrid::dataChanged() {
    if (columns_.empty()) {
        buildDefaultColumns();
        if (!columns_.empty()) structureChanged();
    }
    changed();
}

void DBGrid::setRowSource(GridRowSource* source) {
    if (rowSource_ == source) return;
    rowSource_ = source;
    selectedRows_.clear();
    if (columns_.empty()) buildDefaultColumns();
    structureChanged();
}

GridColumn& DBGrid::addColumn(const std::string& fieldName, const std::string& title, int width) {
    columns_.push_back(GridColumn{fieldName, title, width, true, false});
    structureChanged();
    return columns_.back();
}

void DBGrid::buildDefaultColumns() {
    GridRowSource* rows = rowSource();
    if (!rows || !rows->isActive()) return;
    for (int f = 0; f < rows->fieldCount(); ++f)
        if (rows->fieldVisible(f))
            columns_.push_back(GridColumn{rows->fieldName(f), rows->displayLabel(f), rows->displayWidth(f) * 7 + 4,
                                          true, false});
}

int DBGrid::visibleColumnCount() const {
    return static_cast<int>(std::count_if(columns_.begin(), columns_.end(), [](const GridColumn& c) { return c.visible; }));
}

void DBGrid::setColumnWidth(int column, int width) {
    GridColumn& c = columns_.at(static_cast<std::size_t>(column));
    if (c.width == width) return;
    c.width = width;
    changed();
}

void DBGrid::setSelectedIndex(int column) {
    if (column < 0 || column >= static_cast<int>(columns_.size()) || column == selectedIndex_) return;
    selectedIndex_ = column;
    OnColEnter(this);
    changed();
}

std::string DBGrid::selectedField() const {
    if (selectedIndex_ < 0 || selectedIndex_ >= static_cast<int>(columns_.size())) return {};
    return columns_[static_cast<std::size_t>(selectedIndex_)].fieldName;
}

void DBGrid::toggleRowSelected(int row) { selectRow(row, !selectedRows_.contains(row)); }

void DBGrid::selectRow(int row, bool selected) {
    if (!(options_ & dgMultiSelect) || !rowSource() || row < 0 || row >= rowSource()->rowCount()) return;
    if (selected ? !selectedRows_.insert(row).second : selectedRows_.erase(row) == 0) return;
    changed();
}

void DBGrid::clearSelection() {
    if (selectedRows_.empty()) return;
    selectedRows_.clear();
    changed();
}

CellStyle DBGrid::cellStyle(int row, int column) const {
    CellStyle style;
    style.brush = color();
    style.fontColor = font().color();
    style.fontStyle = font().style();
    const bool highlight = rowSource() && rowSource()->currentRow() == row &&
                           (column == selectedIndex_ || (options_ & dgRowSelect));
    const std::string field =
        column >= 0 && column < static_cast<int>(columns_.size()) ? columns_[static_cast<std::size_t>(column)].fieldName : "";
    OnCalcCellColors(const_cast<DBGrid*>(this), field, row, highlight, style);
    return style;
}

std::string DBGrid::cellText(int row, int column) const {
    if (!rowSource() || !rowSource()->isActive() || column < 0 || column >= static_cast<int>(columns_.size()))
        return {};
    int field = rowSource()->fieldIndex(columns_[static_cast<std::size_t>(column)].fieldName);
    return field < 0 ? std::string() : rowSource()->displayText(row, field);
}

void DBGrid::titleClick(int column) {
    if (column < 0 || column >= static_cast<int>(columns_.size()) || !isEffectivelyEnabled()) return;
    OnTitleButtonClick(this, columns_[static_cast<std::size_t>(column)].fieldName);
}

void DBGrid::cellClick(int row, int column) {
    if (!isEffectivelyEnabled() || !rowSource()) return;
    if (row >= 0 && row < rowSource()->rowCount() && row != rowSource()->currentRow()) rowSource()->setCurrentRow(row);
    setSelectedIndex(column);
    OnCellClick(this);
    changed();
}

bool DBGrid::editCell(int row, int column, const std::string& text) {
    if (!rowSource() || readOnly() || !(options_ & dgEditing) || !isEffectivelyEnabled()) return false;
    if (column < 0 || column >= static_cast<int>(columns_.size()) || columns_[static_cast<std::size_t>(column)].readOnly)
        return false;
    int field = rowSource()->fieldIndex(columns_[static_cast<std::size_t>(column)].fieldName);
    if (field < 0 || !rowSource()->setText(row, field, text)) return false;
    changed();
    return true;
}

}  // namespace corvane::ui
