#include "platform/db/DataSetTableModel.h"

#include "platform/core/Exceptions.h"

namespace corvane {

DataSetTableModel::DataSetTableModel(DataSource* source) { setDataSource(source); }

int DataSetTableModel::rowCount() const { return active() ? dataSet()->recordCount() : 0; }

int DataSetTableModel::columnCount() const {
    if (!active()) return 0;
    int count = 0;
    for (Field* field : dataSet()->fields())
        if (field->visible()) ++count;
    return count;
}

Field* DataSetTableModel::columnField(int column) const {
    if (!active() || column < 0) return nullptr;
    for (Field* field : dataSet()->fields()) {
        if (!field->visible()) continue;
        if (column-- == 0) return field;
    }
    return nullptr;
}

std::string DataSetTableModel::headerText(int column) const {
    Field* field = columnField(column);
    return field ? field->displayLabel() : std::string();
}

int DataSetTableModel::columnWidth(int column) const {
    Field* field = columnField(column);
    return field ? field->displayWidth() : 0;
}

std::string DataSetTableModel::displayText(int row, int column) const {
    Field* field = columnField(column);
    if (!field || row < 0 || row >= rowCount()) return {};
    return dataSet()->withRecordAt(row, [&] { return field->displayText(); });
}

std::string DataSetTableModel::editText(int row, int column) const {
    Field* field = columnField(column);
    if (!field || row < 0 || row >= rowCount()) return {};
    return dataSet()->withRecordAt(row, [&] { return field->text(); });
}

bool DataSetTableModel::readOnly(int column) const {
    Field* field = columnField(column);
    return !field || field->readOnly() || dataSet()->readOnly() || field->fieldKind() != FieldKind::Data;
}

void DataSetTableModel::setText(int row, int column, std::string_view text) {
    Field* field = columnField(column);
    if (!field) throw EDatabaseError("No column " + std::to_string(column));
    if (row != currentRow()) setCurrentRow(row);
    if (!dataSource()->edit()) throw EDatabaseError(dataSet()->name() + ": Dataset not in edit or insert mode");
    field->setText(text);
}

int DataSetTableModel::currentRow() const { return active() ? dataSet()->recNo() - 1 : -1; }

void DataSetTableModel::setCurrentRow(int row) {
    if (!active() || row == currentRow()) return;
    dataSet()->setRecNo(row + 1);
}

void DataSetTableModel::reset() {
    if (listener_) listener_->modelReset();
}

void DataSetTableModel::dataSetScrolled() {
    if (listener_) listener_->currentRowChanged(currentRow());
}

void DataSetTableModel::recordChanged(Field*) {
    int row = currentRow();
    if (listener_ && row >= 0) listener_->rowsChanged(row, row);
}

void DataSetTableModel::editingChanged() {
    int row = currentRow();
    if (listener_ && row >= 0) listener_->rowsChanged(row, row);
}

}  // namespace corvane
