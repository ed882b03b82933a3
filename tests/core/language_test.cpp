#include "app/core/files.h"
#include "app/core/language.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::TempDir;

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileAtomically(dir_ / "1033.lan", "[KB.DIALOG]\n60=Keyboard connected\n61=No keyboard\n"));
        ASSERT_TRUE(WriteFileAtomically(
            dir_ / "1034.lan", "[KB.DIALOG]\n60=Teclado conectado\n70=" + std::string(300, 'x') + "\n71=" +
                                   std::string(258, 'y') + "\xF0\x9F\x98\x80\n"));
    }
    TempDir dir_;
};

TEST_F(LanguageTest, LooksUpBySectionAndNumber) {
    LanguageTexts texts(dir_.path(), 1034);
    EXPECT_EQ(texts.GetLanguageText(60), u"Teclado conectado");
    EXPECT_EQ(texts.GetLanguageText(61), u""); // missing key: empty, not English
    EXPECT_EQ(texts.GetLanguageText(u"OTHER", 60), u"");
    EXPECT_EQ(texts.GetLanguageText(70), std::u16string(259, u'x'));
    EXPECT_EQ(texts.GetLanguageText(71), std::u16string(258, u'y')); // never half a surrogate pair
}

TEST_F(LanguageTest, ChangeShowsAtOnceAndUnknownLanguagesReadEnglish) {
    LanguageTexts texts(dir_.path(), 1034);
    texts.SetLanguageId(1033);
    EXPECT_EQ(texts.GetLanguageText(60), u"Keyboard connected");
    texts.SetLanguageId(1041); // no Japanese file
    EXPECT_EQ(texts.GetLanguageText(61), u"No keyboard");
    ASSERT_TRUE(WriteFileAtomically(dir_ / "1033.lan", "[KB.DIALOG]\n60=Edited\n"));
    EXPECT_EQ(texts.GetLanguageText(60), u"Edited"); // read anew on every call
}

TEST_F(LanguageTest, UnreadableFilesGiveEmptyTexts) {
    TempDir empty;
    EXPECT_EQ(LanguageTexts(empty.path(), 1034).GetLanguageText(60), u"");
    ASSERT_TRUE(WriteFileAtomically(empty / "1033.lan", "no sections at all\n60=x\n" + std::string(100000, 'z')));
    EXPECT_EQ(LanguageTexts(empty.path(), 1033).GetLanguageText(60), u"");
}

TEST(Language, LocaleToLanguageId) {
    struct Case {
        const char* locale;
        int id;
    } cases[] = {{"es_ES.UTF-8", 1034}, {"es", 1034},     {"es_MX.UTF-8", 2058}, {"en_US.UTF-8", 1033},
                 {"en_GB", 2057},       {"C", 1033},      {"POSIX", 1033},       {"zh_CN.UTF-8", 2052},
                 {"zh_TW.Big5", 1028},  {"de_DE@euro", 1031}, {"", 1033},        {"xx_YY", 1033}};
    for (const Case& c : cases) EXPECT_EQ(LanguageIdForLocale(c.locale), c.id) << c.locale;
}

TEST(Language, UserDefaultReadsTheFirstSetVariable) {
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "es_ES.UTF-8", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(UserDefaultLanguageId(), 1034);
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(UserDefaultLanguageId(), 1031);
}

} // namespace
} // namespace vantrel
