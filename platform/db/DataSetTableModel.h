#pragma once

// A grid's view of a data set: rows are the data set's records in their
// current order, columns its visible fields. Texts are GBK; a Qt grid
// adapts this model and converts at its edge. The model follows the data
// set through a data link and tells its listener what to repaint.

#include <string>

#include "platform/db/DataSource.h"

namespace corvane {

class TableModelListener {
public:
    virtual ~TableModelListener() = default;
    virtual void modelReset() {}                     // rows or columns may all have changed
    virtual void rowsChanged(int first, int last) { (void)first; (void)last; }
    virtual void currentRowChanged(int row) { (void)row; }
};

class DataSetTableModel : private DataLink {
public:
    explicit DataSetTableModel(DataSource* source = nullptr);

    using DataLink::dataSource;
    void setSource(DataSource* source) { setDataSource(source); }
    void setListener(TableModelListener* listener) { listener_ = listener; }

    int rowCount() const;
    int columnCount() const;
    // The field of a column (the visible fields in field order).
    Field* columnField(int column) const;
    std::string headerText(int column) const;
    int columnWidth(int column) const;  // in characters
    std::string displayText(int row, int column) const;
    std::string editText(int row, int column) const;
    bool readOnly(int column) const;

    // Moves to the row and writes the typed text to the column's field,
    // starting an edit when needed; a refused text raises and the field
    // keeps its value.
    void setText(int row, int column, std::string_view text);
    // 0-based current row, -1 when there is none.
    int currentRow() const;
    void setCurrentRow(int row);

private:
    void activeChanged() override { reset(); }
    void dataSetChanged() override { reset(); }
    void layoutChanged() override { reset(); }
    void dataSetScrolled() override;
    void recordChanged(Field* field) override;
    void editingChanged() override;
    void reset();

    TableModelListener* listener_ = nullptr;
};

}  // namespace corvane
