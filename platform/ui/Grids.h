#pragma once

// The data grid: columns bound to fields of the rows it shows, title
// clicks, selected rows (multi-select) and per-cell colours asked of the
// form. The rows come from a GridRowSource (the data layer adapts a data
// set to it).

#include <set>
#include <string>
#include <vector>

#include "platform/db/DataSet.h"
#include "platform/db/DataSetTableModel.h"
#include "platform/ui/Control.h"

namespace corvane::ui {

// Rows and fields a grid shows; rows count from 0.
class GridRowSource {
public:
    virtual ~GridRowSource() = default;
    virtual bool isActive() const = 0;
    virtual int rowCount() const = 0;
    virtual int fieldCount() const = 0;
    virtual std::string fieldName(int field) const = 0;
    virtual std::string displayLabel(int field) const { return fieldName(field); }
    virtual int displayWidth(int field) const { (void)field; return 10; }
    virtual bool fieldVisible(int field) const { (void)field; return true; }
    virtual std::string displayText(int row, int field) const = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    // Writes a cell's text as a person editing the cell; false when refused.
    virtual bool setText(int row, int field, const std::string& text) = 0;
    // Index of the field with this name (any case), -1 when none.
    int fieldIndex(const std::string& name) const;
};

// The rows of a data source's data set in their current order, through
// the data set's table model: columns are its visible fields, cells their
// display texts.
class DataSetRowSource : public GridRowSource {
public:
    DataSource* dataSource() const { return model_.dataSource(); }
    void setDataSource(DataSource* source) { model_.setSource(source); }
    bool isActive() const override { return dataSource() && dataSource()->dataSet() && dataSource()->dataSet()->active(); }
    int rowCount() const override { return model_.rowCount(); }
    int fieldCount() const override { return model_.columnCount(); }
    std::string fieldName(int field) const override;
    std::string displayLabel(int field) const override { return model_.headerText(field); }
    int displayWidth(int field) const override { return model_.columnWidth(field); }
    std::string displayText(int row, int field) const override { return model_.displayText(row, field); }
    int currentRow() const override { return model_.currentRow(); }
    void setCurrentRow(int row) override { model_.setCurrentRow(row); }
    // Moves to the row, starts editing and sets the field's text (a refused
    // text raises); the record is posted when the grid leaves the row.
    bool setText(int row, int field, const std::string& text) override;

private:
    DataSetTableModel model_;
};

struct GridColumn {
    std::string fieldName;
    std::string title;
    int width = 64;
    bool visible = true;
    bool readOnly = false;
};

// Colours of one cell, filled in before the form's callback sees them.
struct CellStyle {
    Color brush = clWindow;
    Color fontColor = clWindowText;
    unsigned fontStyle = 0;
};

enum GridOption : unsigned {
    dgEditing = 1, dgTitles = 2, dgIndicator = 4, dgColumnResize = 8, dgColLines = 16, dgRowLines = 32,
    dgTabs = 64, dgRowSelect = 128, dgAlwaysShowSelection = 256, dgConfirmDelete = 512,
    dgCancelOnExit = 1024, dgMultiSelect = 2048,
};

using CellColorsEvent =
    Event<void(Component* sender, const std::string& field, int row, bool highlight, CellStyle& style)>;
using TitleClickEvent = Event<void(Component* sender, const std::string& field)>;

class DBGrid : public Control {
    CORVANE_COMPONENT()
public:
    DBGrid();

    // The rows shown: the explicit source, else the data source's data set.
    GridRowSource* rowSource() const;
    void setRowSource(GridRowSource* source);
    void dataChanged() override;

    std::vector<GridColumn>& columns() { return columns_; }
    const std::vector<GridColumn>& columns() const { return columns_; }
    GridColumn& addColumn(const std::string& fieldName, const std::string& title, int width);
    // Columns for every field of the row source (when none were defined).
    void buildDefaultColumns();
    int visibleColumnCount() const;
    void setColumnWidth(int column, int width);
    void columnsChanged() { changed(); }

    unsigned options() const { return options_; }
    void setOptions(unsigned o) { options_ = o; changed(); }
    Color titleColor() const { return titleColor_; }
    void setTitleColor(Color c) { titleColor_ = c; changed(); }
    int clientWidth() const override { return width() - 4; }
    int horzScrollBarHeight() const { return 17; }

    // The field of the selected column.
    int selectedIndex() const { return selectedIndex_; }
    void setSelectedIndex(int column);
    std::string selectedField() const;

    // Rows selected for multi-select (row numbers of the row source).
    const std::set<int>& selectedRows() const { return selectedRows_; }
    void toggleRowSelected(int row);
    void selectRow(int row, bool selected);
    void clearSelection();

    // The style of a data cell: the grid's colours, then OnCalcCellColors.
    virtual CellStyle cellStyle(int row, int column) const;
    std::string cellText(int row, int column) const;

    // User input: a click on a column's title, a click on a cell.
    void titleClick(int column);
    void cellClick(int row, int column);
    // A person changing a cell's text; false when the grid or column is read-only.
    bool editCell(int row, int column, const std::string& text);

    CellColorsEvent OnCalcCellColors;
    TitleClickEvent OnTitleButtonClick;
    NotifyEvent OnColEnter, OnCellClick;

private:
    GridRowSource* rowSource_ = nullptr;
    mutable DataSetRowSource dataSetRows_;
    std::vector<GridColumn> columns_;
    unsigned options_ = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                        dgConfirmDelete | dgCancelOnExit;
    Color titleColor_ = clBtnFace;
    int selectedIndex_ = 0;
    std::set<int> selectedRows_;
};

}  // namespace corvane::ui
