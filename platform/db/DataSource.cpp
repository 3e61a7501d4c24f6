#include "platform/db/DataSource.h"

#include <algorithm>

#include "platform/core/Exceptions.h"

namespace corvane {

// ------------------------------------------------------------------ DataLink

DataLink::~DataLink() { setDataSource(nullptr); }

void DataLink::setDataSource(DataSource* dataSource) {
    if (dataSource_ == dataSource) return;
    if (dataSource_) dataSource_->removeLink(this);
    dataSource_ = dataSource;
    if (dataSource_) dataSource_->addLink(this);
    activeChanged();
}

DataSet* DataLink::dataSet() const { return dataSource_ ? dataSource_->dataSet() : nullptr; }

bool DataLink::active() const {
    DataSet* ds = dataSet();
    return ds && ds->active() && dataSource_->enabled();
}

// ------------------------------------------------------------------ DataSource

DataSource::DataSource(std::string name) : name_(std::move(name)) {
    evDataChange = events_.declare<DataChangeEvent>("OnDataChange");
    evStateChange = events_.declare<DataSourceNotifyEvent>("OnStateChange");
    evUpdateData = events_.declare<DataSourceNotifyEvent>("OnUpdateData");
}

DataSource::~DataSource() {
    setDataSet(nullptr);
    for (DataLink* link : links_) link->dataSource_ = nullptr;
}

void DataSource::setDataSet(DataSet* dataSet) {
    if (dataSet_ == dataSet) return;
    if (dataSet_) std::erase(dataSet_->dataSources_, this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->dataSources_.push_back(this);
    lastState_ = state();
    std::vector<DataLink*> links = links_;
    for (DataLink* link : links) link->activeChanged();
}

DataSetState DataSource::state() const { return dataSet_ ? dataSet_->state() : DataSetState::Inactive; }

void DataSource::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    lastState_ = state();
    std::vector<DataLink*> links = links_;
    for (DataLink* link : links) link->activeChanged();
}

bool DataSource::edit() {
    if (!dataSet_ || !dataSet_->active()) return false;
    if (!dataSet_->isEditing() && autoEdit_) dataSet_->edit();
    return dataSet_->isEditing();
}

void DataSource::addLink(DataLink* link) { links_.push_back(link); }
void DataSource::removeLink(DataLink* link) { std::erase(links_, link); }

void DataSource::updateData() {
    if (!enabled_) return;
    std::vector<DataLink*> links = links_;
    for (DataLink* link : links) link->updateData();
    if (const auto* h = events_.handler<DataSourceNotifyEvent>(evUpdateData)) {
        DataSourceNotifyEvent handler = *h;
        handler(*this);
    }
}

void DataSource::dataEvent(DataEvent event, Field* field) {
    if (!enabled_) return;
    std::vector<DataLink*> links = links_;
    DataSetState now = state();
    if (now != lastState_) {
        bool activeChanged = (now == DataSetState::Inactive) != (lastState_ == DataSetState::Inactive);
        lastState_ = now;
        for (DataLink* link : links) {
            if (activeChanged) link->activeChanged();
            link->editingChanged();
        }
        if (const auto* h = events_.handler<DataSourceNotifyEvent>(evStateChange)) {
            DataSourceNotifyEvent handler = *h;
            handler(*this);
        }
    }
    if (event == DataEvent::StateChange) return;
    for (DataLink* link : links) {
        switch (event) {
        case DataEvent::FieldChange: link->recordChanged(field); break;
        case DataEvent::RecordChange: link->recordChanged(nullptr); break;
        case DataEvent::DataSetChange: link->dataSetChanged(); break;
        case DataEvent::DataSetScroll: link->dataSetScrolled(); break;
        case DataEvent::LayoutChange: link->layoutChanged(); break;
        case DataEvent::StateChange: break;
        }
    }
    if (const auto* h = events_.handler<DataChangeEvent>(evDataChange)) {
        DataChangeEvent handler = *h;
        handler(*this, event == DataEvent::FieldChange ? field : nullptr);
    }
}

// ------------------------------------------------------------------ FieldDataLink

void FieldDataLink::setFieldName(std::string name) {
    if (fieldName_ == name) return;
    fieldName_ = std::move(name);
    modified_ = false;
    refresh();
}

Field* FieldDataLink::field() const {
    DataSet* ds = dataSet();
    return ds && ds->active() ? ds->findField(fieldName_) : nullptr;
}

std::string FieldDataLink::fieldText(bool editing) const {
    if (modified_) return pendingText_;
    Field* f = field();
    if (!f) return {};
    return editing ? f->text() : f->displayText();
}

void FieldDataLink::setPendingText(std::string text) {
    DataSet* ds = dataSet();
    if (!ds || !ds->active()) throw EDatabaseError("No open dataset for field '" + fieldName_ + "'");
    if (!ds->isEditing() && !dataSource()->edit())
        throw EDatabaseError(ds->name() + ": Dataset not in edit or insert mode");
    pendingText_ = std::move(text);
    modified_ = true;
}

void FieldDataLink::updateRecord() {
    if (!modified_) return;
    Field* f = field();
    if (!f) {
        modified_ = false;
        return;
    }
    updating_ = true;
    try {
        f->setText(pendingText_);
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
    modified_ = false;
    refresh();
}

void FieldDataLink::reset() {
    modified_ = false;
    refresh();
}

void FieldDataLink::refresh() {
    if (onDataChange) onDataChange();
}

void FieldDataLink::activeChanged() {
    modified_ = false;
    if (onActiveChange) onActiveChange();
    refresh();
}

void FieldDataLink::dataSetChanged() {
    DataSet* ds = dataSet();
    if (!ds || !ds->isEditing()) modified_ = false;
    refresh();
}

void FieldDataLink::recordChanged(Field* changed) {
    if (updating_) return;
    if (changed && changed != field()) return;
    modified_ = false;
    refresh();
}

void FieldDataLink::dataSetScrolled() {
    modified_ = false;
    refresh();
}

void FieldDataLink::editingChanged() {
    DataSet* ds = dataSet();
    if (!ds || !ds->isEditing()) modified_ = false;
    if (onEditingChange) onEditingChange();
}

void FieldDataLink::layoutChanged() { refresh(); }

void FieldDataLink::updateData() { updateRecord(); }

}  // namespace corvane
