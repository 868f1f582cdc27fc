#include "files/listing/list_error.hpp"
#include "files/listing/list_int.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace quorvel {
namespace {

std::vector<std::int32_t> Values(const TListInt& list) {
    std::vector<std::int32_t> values;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        values.push_back(list.Items(i));
    }
    return values;
}

TListInt Make(std::initializer_list<std::int32_t> values, bool sorted) {
    TListInt list;
    list.SetSorted(sorted);
    for (const std::int32_t v : values) {
        list.Add(v);
    }
    return list;
}

TEST(ListIntTest, AddKeepsOrderOnlyWhenSorted) {
    EXPECT_EQ(Values(Make({5, 2, 9}, true)), (std::vector<std::int32_t>{2, 5, 9}));
    TListInt list = Make({5, 2, 9}, false);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{5, 2, 9}));
    list.Sort(0);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{2, 5, 9}));
    list.Sort(1);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{9, 5, 2}));
    EXPECT_FALSE(TListInt().Sorted());
}

TEST(ListIntTest, SettingSortedDoesNotSortButTheNextAddSortsEverything) {
    TListInt list = Make({5, 2}, false);
    list.SetSorted(true);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{5, 2}));
    list.Add(1);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{1, 2, 5}));
    list.Add(3);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{1, 2, 3, 5}));
}

TEST(ListIntTest, IndexOfFindsTheFirstEqualValue) {
    struct Case {
        std::initializer_list<std::int32_t> values;
        bool sorted;
        int direction; // -1: no Sort call
        std::int32_t wanted;
        std::ptrdiff_t index;
    };
    const Case cases[] = {
        {{3, 1, 3}, false, -1, 3, 0},   {{3, 1, 3}, true, -1, 3, 1},     {{3, 1, 3}, false, -1, 7, -1},
        {{9, 5, 5, 2}, false, 1, 5, 1}, {{2, 5, 5, 9}, false, -1, 5, 1}, {{}, true, -1, 0, -1},
        {{-4, 8, -4}, false, 0, -4, 0}, {{4, 1}, false, -1, 1, 1},
    };
    for (const Case& c : cases) {
        TListInt list = Make(c.values, c.sorted);
        if (c.direction >= 0) {
            list.Sort(c.direction);
        }
        EXPECT_EQ(list.IndexOf(c.wanted), c.index) << c.wanted;
    }
}

TEST(ListIntTest, DeleteClearAndIndexErrors) {
    TListInt list = Make({1, 2, 3}, true);
    list.Delete(1);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{1, 3}));
    try {
        list.Delete(2);
        FAIL() << "no error";
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "Indice de liste hors limites (2)");
    }
    EXPECT_THROW(static_cast<void>(list.Items(5)), ListIndexError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.IndexOf(1), -1);
}

// Whatever the mix of calls, the list holds what a plain vector re-sorted after
// every sorted Add would hold, and IndexOf agrees with a linear search.
TEST(ListIntTest, AgreesWithAReferenceUnderRandomCalls) {
    std::mt19937 random(42);
    TListInt list;
    std::vector<std::int32_t> reference;
    for (int step = 0; step < 20000; ++step) {
        const auto value = static_cast<std::int32_t>(random() % 200) - 100;
        switch (random() % 10) {
        case 0:
            list.SetSorted(!list.Sorted());
            break;
        case 1:
            if (!reference.empty()) {
                const std::size_t at = random() % reference.size();
                list.Delete(at);
                reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(at));
            }
            break;
        case 2: {
            const int direction = static_cast<int>(random() % 2);
            list.Sort(direction);
            std::sort(reference.begin(), reference.end());
            if (direction == 1) {
                std::reverse(reference.begin(), reference.end());
            }
            break;
        }
        case 3: { // as many Adds
            const auto last = value + static_cast<std::int32_t>(random() % 4);
            list.AddRange(value, last);
            for (std::int32_t v = value; v < last; ++v) {
                reference.push_back(v);
            }
            if (list.Sorted() && last > value) {
                std::sort(reference.begin(), reference.end());
            }
            break;
        }
        default:
            list.Add(value);
            reference.push_back(value);
            if (list.Sorted()) {
                std::sort(reference.begin(), reference.end());
            }
        }
        const auto found = std::find(reference.begin(), reference.end(), value);
        ASSERT_EQ(list.IndexOf(value), found == reference.end() ? -1 : found - reference.begin());
    }
    EXPECT_EQ(Values(list), reference);
}

TEST(ListIntTest, SelectingAMillionRowsInOrder) {
    TListInt rows;
    rows.SetSorted(true);
    for (std::int32_t row = 1; row <= 1'000'000; ++row) {
        rows.Add(row);
    }
    ASSERT_EQ(rows.Count(), 1'000'000u);
    EXPECT_EQ(rows.Items(0), 1);
    EXPECT_EQ(rows.Items(999'999), 1'000'000);
    EXPECT_EQ(rows.IndexOf(500'000), 499'999);
}

} // namespace
} // namespace quorvel
