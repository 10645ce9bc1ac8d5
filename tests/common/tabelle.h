// Named rows for table-driven tests: each row carries a `name`, and a parameterised test is
// named after its row, so a failing case says which one it was.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace quintaro::test {

// The row's name made a valid test name: anything but letters and digits becomes '_'.
struct ZeilenName {
    template <class Zeile>
    std::string operator()(const testing::TestParamInfo<Zeile>& info) const {
        std::string name(info.param.name);
        for (char& c : name) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
        }
        return name;
    }
};

}  // namespace quintaro::test
