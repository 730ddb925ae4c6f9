// The harness's own case: two CONTEXTs in one scope both name a failure, outer first, and a
// context ends with its scope. The case fails on purpose; ctest reads its report.
#include "check.h"

TEST(contexts_name_the_failures_of_their_scope) {
    {
        CONTEXT("outer row");
        CONTEXT("inner row");
        const bool in_both_rows = false;
        CHECK(in_both_rows);
    }
    const bool after_the_rows = false;
    CHECK(after_the_rows);
}
