#include <gtest/gtest.h>

#include "package/setup_model.h"

using package::FileEntry;
using package::FileList;

namespace {
void Fill(FileList& list, int count) {
    for (int i = 0; i < count; ++i) {
        FileEntry entry;
        entry.dataLength = i;
        list.Append(entry);
    }
}
}  // namespace

TEST(FileList, AppendKeepsPackageOrderAndTheFirstEntryUnderTheCursor) {
    FileList list;
    EXPECT_EQ(list.Current(), nullptr);
    list.SeekTo(0);  // nothing to seek to: no change, no crash
    Fill(list, 3);
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.cursorIndex, 0);
    EXPECT_EQ(list.Current(), list.first);
    EXPECT_EQ(list.first->next->next, list.last);
    EXPECT_EQ(list.last->prev->prev, list.first);
}

TEST(FileList, SeekToReachesEveryIndexFromAnywhere) {
    FileList list;
    Fill(list, 50);
    for (int target : {0, 49, 25, 24, 26, 1, 48, 10, 40, 0, 49}) {
        list.SeekTo(target);
        ASSERT_EQ(list.cursorIndex, target);
        EXPECT_EQ(list.Current()->dataLength, target);
    }
    list.SeekTo(7);
    list.SeekTo(-1);
    list.SeekTo(50);
    EXPECT_EQ(list.cursorIndex, 7);
    EXPECT_EQ(list.Current()->dataLength, 7);
}

TEST(FileList, ReadingInOrderWalksOneStepAtATime) {
    // 100,000 entries read in order: quadratic walking would take minutes here.
    FileList list;
    Fill(list, 100000);
    long long sum = 0;
    for (int i = 0; i < list.count; ++i) {
        list.SeekTo(i);
        sum += list.Current()->dataLength;
    }
    EXPECT_EQ(sum, 99999LL * 100000 / 2);
    for (int i = list.count - 1; i >= 0; --i) list.SeekTo(i);
    EXPECT_EQ(list.cursorIndex, 0);
}
