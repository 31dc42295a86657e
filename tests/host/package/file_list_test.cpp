#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

// While alive, every link of the first entry, the last entry, the cursor and `target` (a
// neighbour of the cursor) leads to a trap entry that links only to itself, except the one link
// from the cursor to `target`. A seek to `target` that walks any other way (from the first
// entry, or past the target and back) ends on the trap. The links come back when it goes.
class OnlyOneStep {
public:
    OnlyOneStep(FileList& list, FileEntry* target) {
        trap_.prev = trap_.next = &trap_;
        FileEntry* cursor = list.cursorNode;
        FileEntry** step = cursor->next == target ? &cursor->next : &cursor->prev;
        EXPECT_EQ(*step, target) << "not a neighbour of the cursor";
        for (FileEntry* node : {list.first, list.last, cursor, target}) {
            Cut(&node->prev);
            Cut(&node->next);
        }
        *step = target;
    }
    ~OnlyOneStep() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) *it->first = it->second;
    }

private:
    void Cut(FileEntry** link) {
        saved_.emplace_back(link, *link);
        *link = &trap_;
    }

    FileEntry trap_;
    std::vector<std::pair<FileEntry**, FileEntry*>> saved_;
};

TEST(FileList, ReadingInOrderWalksOneStepAtATime) {
    // A walk from the first entry for every file would make reading 100,000 entries quadratic.
    FileList list;
    Fill(list, 1000);
    std::vector<FileEntry*> nodes;
    for (FileEntry* node = list.first; node; node = node->next) nodes.push_back(node);

    for (int i = 1; i < list.count; ++i) {
        OnlyOneStep guard(list, nodes[i]);
        list.SeekTo(i);
        ASSERT_EQ(list.Current(), nodes[i]) << "entry " << i << " was not reached in one step";
        EXPECT_EQ(list.cursorIndex, i);
    }
    for (int i = list.count - 2; i >= 0; --i) {
        OnlyOneStep guard(list, nodes[i]);
        list.SeekTo(i);
        ASSERT_EQ(list.Current(), nodes[i]) << "entry " << i << " was not reached in one step";
        EXPECT_EQ(list.cursorIndex, i);
    }
}
