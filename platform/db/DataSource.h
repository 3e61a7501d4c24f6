#pragma once

// Data sources connect a data set to the things that show it: data-aware
// controls (through data links) and the data source's own events
// OnDataChange and OnStateChange.
//
// DataLink is the interface a data-aware control implements; the control
// registers its link with a data source and unregisters it before it goes.
// FieldDataLink is the link of a control bound to one field: it keeps the
// control's pending text and writes it to the field before the record
// posts, validated as if the user had left the field.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DataSet.h"
#include "platform/db/EventTable.h"

namespace corvane {

class DataSource;

class DataLink {
public:
    virtual ~DataLink();
    DataLink() = default;
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    DataSource* dataSource() const { return dataSource_; }
    // Registers with a data source (none: unregisters).
    void setDataSource(DataSource* dataSource);
    DataSet* dataSet() const;
    bool active() const;

    // What the link hears; a control overrides what it needs.
    virtual void activeChanged() {}
    virtual void dataSetChanged() {}
    virtual void recordChanged(Field* field) { (void)field; }  // field null: the whole record
    virtual void dataSetScrolled() {}
    virtual void editingChanged() {}
    virtual void layoutChanged() {}
    // Before a post: write any pending input to the fields.
    virtual void updateData() {}

private:
    friend class DataSource;
    DataSource* dataSource_ = nullptr;
};

class DataSource {
public:
    explicit DataSource(std::string name = {});
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    DataSet* dataSet() const { return dataSet_; }
    void setDataSet(DataSet* dataSet);
    DataSetState state() const;
    // A disabled data source passes nothing on.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Typing into a control of a browsing data set starts editing.
    bool autoEdit() const { return autoEdit_; }
    void setAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
    // Starts editing when AutoEdit allows; false when the data set stays browsing.
    bool edit();

    const std::vector<DataLink*>& links() const { return links_; }

    // Events: "OnDataChange", "OnStateChange", "OnUpdateData".
    EventTable& events() { return events_; }
    void setOnDataChange(DataChangeEvent h) { events_.assign(evDataChange, std::move(h)); }
    void setOnStateChange(DataSourceNotifyEvent h) { events_.assign(evStateChange, std::move(h)); }
    void setOnUpdateData(DataSourceNotifyEvent h) { events_.assign(evUpdateData, std::move(h)); }

private:
    friend class DataSet;
    friend class DataLink;
    void dataEvent(DataEvent event, Field* field);
    void updateData();
    void addLink(DataLink* link);
    void removeLink(DataLink* link);

    std::string name_;
    DataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    DataSetState lastState_ = DataSetState::Inactive;
    std::vector<DataLink*> links_;
    EventTable events_;
    int evDataChange, evStateChange, evUpdateData;
};

// The link of a control that edits one field.
class FieldDataLink : public DataLink {
public:
    FieldDataLink() = default;

    const std::string& fieldName() const { return fieldName_; }
    void setFieldName(std::string name);
    // The bound field; none while the data set is closed or lacks it.
    Field* field() const;
    // The text the control shows for the field (its edit text while the
    // control has the focus, else its display text).
    std::string fieldText(bool editing) const;

    // The control's input: the user typed text; it is written to the
    // field when the control is left (updateRecord) or before a post.
    void setPendingText(std::string text);
    bool modified() const { return modified_; }
    const std::string& pendingText() const { return pendingText_; }
    // Writes the pending text to the field now (as when the user leaves
    // the control). A validation failure keeps the text pending and passes
    // the error on.
    void updateRecord();
    // Drops the pending text (the control shows the field again).
    void reset();

    // Callbacks the control sets to hear about its field.
    std::function<void()> onDataChange;  // show the field's current text
    std::function<void()> onEditingChange;
    std::function<void()> onActiveChange;

    void activeChanged() override;
    void dataSetChanged() override;
    void recordChanged(Field* field) override;
    void dataSetScrolled() override;
    void editingChanged() override;
    void layoutChanged() override;
    void updateData() override;

private:
    void refresh();

    std::string fieldName_;
    std::string pendingText_;
    bool modified_ = false;
    bool updating_ = false;
};

}  // namespace corvane
