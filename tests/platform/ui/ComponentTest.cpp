// Published properties and events by name, the class-name chain and ownership.

#include <gtest/gtest.h>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/TestSupport.h"

namespace corvane::ui {
namespace {

struct PropCase {
    const char* property;
    TypeKind kind;
    Variant written;
    Variant read;
};

class EditProps : public ::testing::TestWithParam<PropCase> {};

TEST_P(EditProps, WriteThenReadByName) {
    auto form = makeComponent<Form>();
    DBEdit& edit = form->create<DBEdit>();
    edit.setParent(form.get());
    const PropCase& c = GetParam();
    EXPECT_EQ(edit.propKind(c.property), c.kind);
    EXPECT_TRUE(edit.hasProp(c.property));
    EXPECT_TRUE(edit.setProp(c.property, c.written));
    EXPECT_EQ(edit.prop(c.property), c.read);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditProps,
    ::testing::Values(PropCase{"Text", TypeKind::String, Variant("资源"), Variant("资源")},
                      PropCase{"text", TypeKind::String, Variant("x"), Variant("x")},
                      PropCase{"DataField", TypeKind::String, Variant("MB001"), Variant("MB001")},
                      PropCase{"Left", TypeKind::Integer, Variant(60), Variant(60)},
                      PropCase{"Color", TypeKind::Integer, Variant(0xAFFFFF), Variant(0xAFFFFF)},
                      PropCase{"Enabled", TypeKind::Enumeration, Variant(0), Variant(0)},
                      PropCase{"ReadOnly", TypeKind::Enumeration, Variant(true), Variant(1)},
                      PropCase{"Font.Name", TypeKind::String, Variant("Tahoma"), Variant("Tahoma")},
                      PropCase{"Font.Charset", TypeKind::Integer, Variant(136), Variant(136)},
                      PropCase{"Font.Style", TypeKind::Set, Variant(fsBold | fsUnderline),
                               Variant(fsBold | fsUnderline)}));

TEST(Reflection, MissingPropertiesReadEmptyAndNeverRaise) {
    Label label;
    for (const char* name : {"DataField", "Text", "", "Font.Nothing", "Nothing.Name", "ImeName"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(label.hasProp(name));
        EXPECT_EQ(label.propKind(name), TypeKind::Unknown);
        EXPECT_TRUE(label.prop(name).isEmpty());
        EXPECT_FALSE(label.setProp(name, Variant("x")));
        EXPECT_TRUE(label.methodProp(name).isEmpty());
        EXPECT_EQ(label.objectProp(name), nullptr);
    }
}

TEST(Reflection, EnumerationNamesAndObjectProperties) {
    auto form = makeComponent<Form>();
    ComboBox& combo = form->create<ComboBox>();
    combo.setStyle(ComboStyle::csDropDownList);
    EXPECT_EQ(combo.enumName("Style"), "csDropDownList");
    EXPECT_EQ(combo.findProp("Style")->enumNames.size(), 3u);
    EXPECT_EQ(combo.enumName("Enabled"), "True");
    EXPECT_EQ(combo.enumName("Left"), "");

    DataSource source("dsMain");
    EXPECT_EQ(combo.propKind("DataSource"), TypeKind::Unknown);  // a plain combo is not data-aware
    DBComboBox& dbCombo = form->create<DBComboBox>();
    EXPECT_EQ(dbCombo.propKind("DataSource"), TypeKind::Class);
    EXPECT_TRUE(dbCombo.setDataSourceProp("DataSource", &source));
    EXPECT_EQ(dbCombo.dataSourceProp("DataSource"), &source);
    EXPECT_EQ(dbCombo.objectProp("Font"), &dbCombo.font());
    EXPECT_FALSE(dbCombo.setObjectProp("Font", &combo));  // read-only object property
    dbCombo.setObjectProp("PopupMenu", &combo);  // not a popup menu: refused quietly
    EXPECT_EQ(dbCombo.objectProp("PopupMenu"), nullptr);
}

TEST(Reflection, ClassNameChain) {
    DBComboBox combo;
    EXPECT_EQ(combo.className(), "TDBComboBox");
    for (const char* name : {"TDBComboBox", "TComboBox", "tcombobox", "TControl", "TComponent"}) EXPECT_TRUE(combo.isA(name)) << name;
    EXPECT_FALSE(combo.isA("TEdit"));
    // Inherited properties are listed once, ancestors' first.
    auto props = combo.classInfo().allProps();
    ASSERT_FALSE(props.empty());
    EXPECT_EQ(props.front()->name, "Name");
}

TEST(Events, ReadClearAndRestoreByName) {
    Button button;
    int clicks = 0;
    button.OnClick = [&](Component*) { ++clicks; };
    MethodRef saved = button.methodProp("OnClick");
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_EQ(button.propKind("OnClick"), TypeKind::Method);

    EXPECT_TRUE(button.setMethodProp("OnClick", MethodRef()));
    button.click();
    EXPECT_EQ(clicks, 0);

    EXPECT_TRUE(button.setMethodProp("OnClick", saved));
    EXPECT_EQ(button.methodProp("OnClick"), saved);
    button.click();
    EXPECT_EQ(clicks, 1);

    // A handler of another signature is refused and the old one stays.
    auto keyHandler = MethodRef::of<void(Component*, int&, unsigned)>([](Component*, int&, unsigned) {});
    EXPECT_FALSE(button.setMethodProp("OnClick", keyHandler));
    EXPECT_EQ(button.methodProp("OnClick"), saved);
}

TEST(Ownership, OwnerFreesWhatItOwnsAndRefsExpire) {
    auto form = makeComponent<Form>();
    Panel& panel = form->create<Panel>();
    panel.setName("pnlHead");
    Edit& edit = form->create<Edit>();
    edit.setParent(&panel);
    ComponentRef<Edit> ref(&edit);
    EXPECT_EQ(form->findComponent("PNLHEAD"), &panel);
    EXPECT_EQ(form->componentCount(), 2);

    edit.free();
    EXPECT_FALSE(ref);
    EXPECT_EQ(form->componentCount(), 1);
    EXPECT_TRUE(panel.controls().empty());

    bool destroyed = false;
    form->OnDestroy = [&](Component*) { destroyed = true; };
    ComponentRef<Panel> panelRef(&panel);
    form.reset();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(panelRef);
}

}  // namespace
}  // namespace corvane::ui
