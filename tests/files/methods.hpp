// Names of the renaming methods in the names of parameterised tests.
#pragma once

#include "files/safe_rename.hpp"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace quorvel {

inline void PrintTo(RenameMethod method, std::ostream* out) {
    *out << (method == RenameMethod::Atomic     ? "Atomic"
             : method == RenameMethod::HardLink ? "HardLink"
                                                : "CheckFirst");
}

} // namespace quorvel

namespace quorvel::test {

inline const auto kAllMethods =
    ::testing::Values(RenameMethod::Atomic, RenameMethod::HardLink, RenameMethod::CheckFirst);

inline std::string MethodName(const ::testing::TestParamInfo<RenameMethod>& param) {
    switch (param.param) {
    case RenameMethod::Atomic:
        return "Atomic";
    case RenameMethod::HardLink:
        return "HardLink";
    case RenameMethod::CheckFirst:
        return "CheckFirst";
    }
    return "Unknown";
}

} // namespace quorvel::test
