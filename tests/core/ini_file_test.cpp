#include "app/core/ini_file.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(IniFile, ReadsLikeAnInitialisationFile) {
    IniFile ini = IniFile::Parse("\xEF\xBB\xBF"
                                 "orphan=1\n"
                                 "[KB.DIALOG]\r\n"
                                 "; comment\n"
                                 "garbage line without equals\n"
                                 " 51 =  Keys  \n"
                                 "52=\"  quoted  \"\n"
                                 "51=second wins not\n"
                                 "=no key\n"
                                 "[other]\n"
                                 "51=Other\n");
    EXPECT_EQ(ini.Get(u"KB.DIALOG", u"51"), u"Keys");
    EXPECT_EQ(ini.Get(u"kb.dialog", u"52"), u"  quoted  ");
    EXPECT_EQ(ini.Get(u"other", u"51"), u"Other");
    EXPECT_FALSE(ini.Get(u"KB.DIALOG", u"53"));
    EXPECT_FALSE(ini.Get(u"missing", u"51"));
    EXPECT_FALSE(ini.Get(u"", u"orphan")); // keys before any section belong to none
}

TEST(IniFile, SetKeepsEveryOtherLine) {
    IniFile ini = IniFile::Parse("# hand-written note\n[settings]\nLCID=1033\n\xFF\xFE broken bytes\n[x]\na=1\n");
    ini.Set(u"settings", u"lcid", u"1034");
    ini.Set(u"settings", u"exit_mode", u"2\nthird=3");
    ini.Set(u"new", u"k", u"v");
    EXPECT_EQ(ini.Serialize(),
              "# hand-written note\n[settings]\nLCID=1034\nexit_mode=2 third=3\n\xFF\xFE broken bytes\n[x]\na=1\n"
              "[new]\nk=v\n");
}

} // namespace
} // namespace vantrel
