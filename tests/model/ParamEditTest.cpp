// "NAME=VALUE" as the command line types an edit: the name and the value split and parsed, and
// what is wrong said in words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/ParamEdit.h"

namespace arvestra {
namespace {

using ::testing::HasSubstr;

struct EditCase {
    const char* text;
    bool ok;
    long long code;
    const char* textValue;  // the name's text, or the error's words
};

class EditTexts : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditTexts, SplitNameAndValue) {
    const EditCase& c = GetParam();
    const ParamEditParse parse = ParseParamEdit(c.text);
    ASSERT_EQ(parse.edit.has_value(), c.ok) << parse.error;
    if (!c.ok) {
        EXPECT_THAT(parse.error, HasSubstr(c.textValue));
        return;
    }
    if (parse.edit->ref.kind == ParamKind::PresetName) {
        EXPECT_EQ(parse.edit->text, c.textValue);
    } else {
        EXPECT_EQ(parse.edit->code, c.code);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EditTexts,
    ::testing::Values(EditCase{"ch1.lp.cutoff=1kHz", true, 56, ""},
                      EditCase{"ch1.lp.cutoff=300", true, 300, ""},
                      EditCase{"ch2.delay.time=20ms", true, 960, ""},
                      EditCase{"name=Hall = left", true, 0, "Hall = left"},
                      EditCase{"name=", true, 0, ""},
                      EditCase{"ch1.lp.cutoff", false, 0, "write PARAM=VALUE"},
                      EditCase{"=3", false, 0, "empty parameter name"},
                      EditCase{"ch1.lp.cutoff=", false, 0, "ch1.lp.cutoff: the value is empty"},
                      EditCase{"ch1.lp.cutoff=3=4", false, 0, "ch1.lp.cutoff: "},
                      EditCase{"lp.cutoff=3", false, 0, "is per channel"}));

TEST(FieldEdit, DropsTheChannelOfAFieldThatHasNone) {
    EXPECT_EQ(FieldEdit(ParamField::ChainSlot, kChannelB, 3, 5).ref,
              (ParamRef{ParamKind::Field, ParamField::ChainSlot, kNoChannel, 3}));
    EXPECT_EQ(FieldEdit(ParamField::LpCutoff, kChannelB, 0, 5).ref,
              (ParamRef{ParamKind::Field, ParamField::LpCutoff, kChannelB, 0}));
}

}  // namespace
}  // namespace arvestra
