// The man page and the shell completion stay in step with the program: every option key and
// every flag of --help appears in both.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/argumente.h"
#include "engine/optionen.h"

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

}  // namespace
}  // namespace quintaro::cli
