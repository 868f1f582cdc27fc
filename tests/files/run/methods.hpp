// The two ways a rename is done: renameat2 without replacement, and, on a file
// system that does not have it, a hard link and an unlink. Tests run the second by
// making renameat2 answer EINVAL, as such a file system does.
#pragma once

#include "files/run/safe_rename.hpp"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>

namespace quorvel::test {

enum class Method { Native, WithoutRenameat2 };

inline int Renameat2Unsupported(int, const char*, int, const char*, unsigned int) {
    errno = EINVAL;
    return -1;
}

// Installs the method for the life of the object.
class UsingMethod {
public:
    explicit UsingMethod(Method method)
        : previous_(SetRenameat2ForTests(method == Method::Native ? nullptr : &Renameat2Unsupported)) {}
    UsingMethod(const UsingMethod&) = delete;
    UsingMethod& operator=(const UsingMethod&) = delete;
    ~UsingMethod() { SetRenameat2ForTests(previous_); }

private:
    Renameat2Function previous_;
};

inline const auto kAllMethods = ::testing::Values(Method::Native, Method::WithoutRenameat2);

inline std::string MethodName(const ::testing::TestParamInfo<Method>& param) {
    return param.param == Method::Native ? "Native" : "WithoutRenameat2";
}

} // namespace quorvel::test
