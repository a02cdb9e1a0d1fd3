#include "core/Messages.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

using namespace tarnwake::core;

TEST(Messages, HeadlessWritesEveryMessageWithItsKindAndKeepsIt) {
    std::ostringstream out;
    THeadlessMessages m(&out);
    m.Warn("Warning! Land layer 2 not found! Coast");
    m.Error("Cannot find Environment file: x.env");
    EXPECT_EQ("[warning] Warning! Land layer 2 not found! Coast\n"
              "[error] Cannot find Environment file: x.env\n",
              out.str());
    ASSERT_EQ(2u, m.Shown().size());
    EXPECT_EQ(TMessageKind::Warning, m.Shown()[0].kind);
    EXPECT_TRUE(m.Contains("Environment file"));
}

TEST(Messages, QuestionsTakeScriptedAnswersThenDefaults) {
    THeadlessMessages m(nullptr);
    ASSERT_TRUE(m.QueueAnswers("no, Yes to all"));
    EXPECT_FALSE(m.QueueAnswers("perhaps"));
    EXPECT_EQ(btNo, m.Ask("Pick up survivors?", kYesNoAll));
    EXPECT_EQ(btYesToAll, m.Ask("Pick up survivors?", kYesNoAll));
    EXPECT_EQ(btYes, m.Ask("Enter port?", btYes | btNo | btYesToAll));
    EXPECT_EQ(btNo, m.Ask("Quit?", kYesNo, btNo));
    EXPECT_EQ(btOk, m.Ask("Continue?", kOkCancel));
    // A scripted answer the question does not offer is passed over.
    m.QueueAnswer(btYesToAll);
    m.QueueAnswer(btCancel);
    EXPECT_EQ(btCancel, m.Ask("Sure?", kOkCancel));
    m.QueueInput("Warspite");
    EXPECT_EQ("Warspite", m.InputBox("Find ship", "Name:", ""));
    EXPECT_EQ("dflt", m.InputBox("Find ship", "Name:", "dflt"));
}

TEST(Messages, RunGuardedReportsTheFailureAndGoesOn) {
    THeadlessMessages m(nullptr);
    EXPECT_TRUE(RunGuarded(m, "MoveAllShips", "Division: 1st BS", [] {}));
    EXPECT_FALSE(RunGuarded(m, "MoveAllShips", "Division: 1st BS",
                            [] { throw std::runtime_error("bad course"); }));
    ASSERT_EQ(1u, m.Shown().size());
    EXPECT_EQ("Error in MoveAllShips procedure!\nDivision: 1st BS\nbad course", m.Shown()[0].text);
    EXPECT_EQ(TMessageKind::Error, m.Shown()[0].kind);
}

TEST(Messages, AGroupShowsATasksMessagesOnceAndTogether) {
    THeadlessMessages shown(nullptr);
    TMessageGroup group(shown);
    group.Warn("straight through");
    group.Begin();
    group.Inform("a note");
    group.Warn("Warning! line 3");
    group.Warn("Warning! line 3");
    group.Error("line 9: not a date");
    // A question cannot wait for the end of the task.
    shown.QueueAnswer(btNo);
    EXPECT_EQ(btNo, group.Ask("Go on?", kYesNo));
    group.End("Loading Raid.nsc");
    ASSERT_EQ(3u, shown.Shown().size());
    EXPECT_EQ("straight through", shown.Shown()[0].text);
    EXPECT_EQ(btNo, shown.Shown()[1].answer);
    EXPECT_EQ(TMessageKind::Error, shown.Shown()[2].kind);
    EXPECT_EQ("Loading Raid.nsc gave 3 messages:\n\na note\n\nWarning! line 3\n\n"
              "line 9: not a date",
              shown.Shown()[2].text);

    // One message is shown as it was said; a quiet task shows nothing.
    shown.Clear();
    group.Begin();
    group.Warn("Warning! alone");
    group.End("Loading Raid.nsc");
    group.Begin();
    group.End("Loading Raid.nsc");
    ASSERT_EQ(1u, shown.Shown().size());
    EXPECT_EQ(TMessageKind::Warning, shown.Shown()[0].kind);
    EXPECT_EQ("Warning! alone", shown.Shown()[0].text);
}
