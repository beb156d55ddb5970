// Table-driven cases: each row of a table carries its own `name`, which
// becomes the parameterised test's name.
#ifndef MORVANE_TESTS_SUPPORT_NAMED_ROWS_H
#define MORVANE_TESTS_SUPPORT_NAMED_ROWS_H

#include <gtest/gtest.h>

#include <string>

namespace testrows {

template <class Row> std::string rowName(const testing::TestParamInfo<Row>& row) {
    return row.param.name;
}

} // namespace testrows

#endif // MORVANE_TESTS_SUPPORT_NAMED_ROWS_H
