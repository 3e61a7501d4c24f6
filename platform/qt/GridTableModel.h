#pragma once

// A Qt table model over a grid of the component model: its columns, the
// rows of its row source, the cell colours the grid (and the form's
// callback) compute, and edits written back through the grid.

#include <QAbstractTableModel>

#include "platform/ui/Grids.h"

namespace corvane::qt {

class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridTableModel(ui::DBGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The grid's rows or columns changed: everything is read again.
    void refresh();

private:
    ui::DBGrid& grid_;
};

// A model colour (blue-green-red, system colours by role) as Qt's.
QColor toQColor(ui::Color color);

}  // namespace corvane::qt
