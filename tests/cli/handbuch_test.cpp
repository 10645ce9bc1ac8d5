// The man page and the shell completion stay in step with the program: every option key and
// every flag of --help appears in both.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/argumente.h"
#include "engine/optionen.h"
#include "settings/einstellungen.h"
#include "settings/ini.h"

namespace quintaro::cli {
namespace {

std::string lies(const std::string& name) {
    std::ifstream in(std::string(QUINTARO_PACKAGING) + "/" + name);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Handbuch, ManPageAndCompletionKnowEveryKeyAndFlag) {
    const std::string man = lies("quintaro-cli.1");
    const std::string vervollstaendigung = lies("quintaro-cli.bash-completion");
    for (const auto& o : kOptionen) {
        const std::string key(o.key);
        EXPECT_NE(man.find("\n.B " + key + "\n[" + (o.defaultOn ? "1" : "0") + "] " +
                           std::string(o.caption)),
                  std::string::npos)
            << key << ": key, default and caption";
    }
    const auto anfang = vervollstaendigung.find("keys=\"");
    ASSERT_NE(anfang, std::string::npos);
    const auto ende = vervollstaendigung.find('"', anfang + 6);
    std::istringstream liste(vervollstaendigung.substr(anfang + 6, ende - anfang - 6));
    std::set<std::string> vervollstaendigt{std::istream_iterator<std::string>(liste),
                                           std::istream_iterator<std::string>()};
    std::set<std::string> keys;
    for (const auto& o : kOptionen) keys.emplace(o.key);
    EXPECT_EQ(vervollstaendigt, keys);
    const std::string hilfe = aufrufText();
    const std::regex flag("--[a-z]+");
    std::set<std::string> flags(std::sregex_token_iterator(hilfe.begin(), hilfe.end(), flag),
                                std::sregex_token_iterator());
    EXPECT_GE(flags.size(), 5u);
    for (const std::string& f : flags) {
        EXPECT_NE(man.find("\\-\\-" + f.substr(2)), std::string::npos) << f;
        EXPECT_NE(vervollstaendigung.find(f), std::string::npos) << f;
    }
}

// The section SETTINGS FILE names every section and every key that is no number and no option
// of a settings file as the window writes it.
TEST(Handbuch, ManPageDescribesTheSettingsFileAsItIsWritten) {
    const std::string man = lies("quintaro-cli.1");
    IniDatei ini;
    einstellungenEintragen(ini, Einstellungen{}, "Alles");
    std::istringstream zeilen(ini.inhalt());
    int genannt = 0;
    for (std::string zeile; std::getline(zeilen, zeile);) {
        if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
        std::string name = zeile.substr(0, zeile.find('='));
        if (name.empty() || optionZumSchluessel(name) ||
            std::isdigit(static_cast<unsigned char>(name[0]))) {
            continue;
        }
        EXPECT_NE(man.find(name), std::string::npos) << name;
        ++genannt;
    }
    EXPECT_GE(genannt, 10);
    // Row N of the table is written under N and Na.
    EXPECT_NE(man.find(".IR N a"), std::string::npos);
}

}  // namespace
}  // namespace quintaro::cli
