#include "engine_test_support.h"

namespace {
using Runner = EngineTest;

TEST_F(Runner, CallSetsResultFromReturnOrFromSuccess) {
  auto r = Run(Lines({"[Main]", "SET X=abc", "CALL R1=Ret", "CALL R2=Plain", "CALL R3=Missing",
                      "CONTINUEIF %%R1%%!=abc", "CONTINUEIF %%R2%%!=TRUE", "SET Reached=1",
                      "[Ret]", "RETURN %%X%%", "SET Never=1", "[Plain]", "SET Y=1"}));
  EXPECT_EQ(r.status, 4u);  // the missing section ends the run, unreported
  EXPECT_EQ(r.log.find("Error:"), std::string::npos);
  EXPECT_EQ(CountOf(r.log, "Running Section: "), 2);
}

TEST_F(Runner, ResultsOfReturnIfAndFailedCalls) {
  auto r = Run(Lines({"[Main]", "SET A=1", "CALL R=Sub", "CONTINUEIF %%R%%==yes", "SET A=2",
                      "CALL R=Sub", "CONTINUEIF %%R%%==TRUE", "CALL R=NoSuch", "[Sub]",
                      "RETURNIF %%A%%==1, yes", "SET Next=1"}));
  // The missing section sets R to FALSE and ends with 4.
  EXPECT_EQ(r.status, 4u);
  EXPECT_EQ(CountOf(r.log, "Executing line 11: SET Next=1"), 1);
}

TEST_F(Runner, ReturnOfAMissingSymbolReturnsTheTextAsWritten) {
  auto r = Run(Lines({"[Main]", "CALL R=Sub", "CONTINUEIF %%R%%==%%NOSUCH%%", "FOO", "[Sub]",
                      "RETURN   %%NOSUCH%%  "}));
  EXPECT_EQ(r.status, 2u);  // the condition held, so FOO ran
}

TEST_F(Runner, ReturnInTheStartSectionDoesNothing) {
  auto r = Run(Lines({"[Main]", "RETURN x", "RETURNIF 1==1, y", "FOO"}));
  EXPECT_EQ(r.status, 2u);
}

TEST_F(Runner, GotoIfIsTheLastLineOfItsSection) {
  auto held = Run(Lines({"[Main]", "SET A=1", "GOTOIF %%A%%==1, Other", "FOO", "[Other]", "SET O=1"}));
  EXPECT_EQ(held.status, 0u);
  EXPECT_NE(held.log.find("Running Section: Other"), std::string::npos);
  auto notHeld = Run(Lines({"[Main]", "SET A=2", "GOTOIF %%A%%==1, Other", "FOO", "[Other]", "FOO"}));
  EXPECT_EQ(notHeld.status, 0u);
  EXPECT_EQ(notHeld.log.find("Running Section"), std::string::npos);
  auto inCall = Run(Lines({"[Main]", "CALL R=Sub", "CONTINUEIF %%R%%==TRUE", "FOO", "[Sub]",
                           "GOTOIF 1==2, Nowhere", "FOO"}));
  EXPECT_EQ(inCall.status, 2u);
  EXPECT_EQ(inCall.errorLine, 4u);
}

TEST_F(Runner, GotoIfTargetFailureBecomesTheLineStatus) {
  auto r = Run(Lines({"[Main]", "GOTOIF 1==1, Bad", "[Bad]", "SET X"}));
  EXPECT_EQ(r.status, 23u);
  auto noComma = Run(Lines({"[Main]", "GOTOIF 1==1"}));
  EXPECT_EQ(noComma.status, 51u);
  EXPECT_EQ(noComma.log.find("Error:"), std::string::npos);
}

TEST_F(Runner, CallIfAndReturnIfWithoutCommaReport51) {
  auto callIf = Run(Lines({"[Main]", "CALLIF 1==1"}));
  EXPECT_EQ(callIf.status, 51u);
  EXPECT_NE(callIf.log.find("Error: Invalid switch or value supplied in command line parameters.\n>>Line 2: CALLIF 1==1"),
            std::string::npos);
  auto returnIf = Run(Lines({"[Main]", "CALL Sub", "[Sub]", "RETURNIF 1==1"}));
  EXPECT_EQ(returnIf.status, 51u);
  EXPECT_EQ(returnIf.errorLine, 4u);
}

TEST_F(Runner, CallIfRunsOnlyWhenTheConditionHolds) {
  auto r = Run(Lines({"[Main]", "SET A=1", "CALLIF %%A%%==2, R=Bad", "CALLIF %%A%%==1, R = Good",
                      "CONTINUEIF %%R%%==ok", "FOO", "[Bad]", "FOO", "[Good]", "RETURN ok"}));
  EXPECT_EQ(r.status, 2u);
  EXPECT_EQ(r.errorLine, 6u);
}

TEST_F(Runner, ConditionalStopInACalledSectionEndsTheRunWithZero) {
  auto r = Run(Lines({"[Main]", "SET OK=FALSE", "CALL Sub", "FOO", "[Sub]", "CONTINUEIF %%OK%%==TRUE",
                      "FOO"}));
  EXPECT_EQ(r.status, 0u);
  EXPECT_NE(r.log.find("finished on a conditional stop: %%OK%%==TRUE. Line:6"), std::string::npos);
  EXPECT_EQ(r.log.find("Error:"), std::string::npos);
  EXPECT_EQ(TheFinalStatus().status, 0);
}

TEST_F(Runner, UnknownWordInACalledSectionEndsTheRunWithTwo) {
  auto r = Run(Lines({"[Main]", "CALL R=Sub", "SET Never=1", "[Sub]", "FOO bar"}));
  EXPECT_EQ(r.status, 2u);
  EXPECT_EQ(r.errorLine, 5u);
  EXPECT_EQ(r.errorText, "FOO bar");
  EXPECT_NE(r.log.find("Error: Unrecognized command in script file.\n>>Line 5: FOO bar"), std::string::npos);
  EXPECT_EQ(r.log.find("SET Never"), std::string::npos);
}

TEST_F(Runner, KnownWordWithoutHandlerFailsUnreported) {
  auto r = Run(Lines({"[Main]", "COPYFILEAS a b"}));
  EXPECT_EQ(r.status, 2u);
  EXPECT_EQ(r.log.find("Error:"), std::string::npos);
}

TEST_F(Runner, EndlessRecursionFailsOnceAtTheNestingBound) {
  auto r = Run(Lines({"[Main]", "CALL R=Loop", "[Loop]", "SET N=1", "CALL Loop"}));
  EXPECT_EQ(r.status, 58u);
  EXPECT_EQ(CountOf(r.log, "Error: Sections call each other too deeply."), 1);
  EXPECT_EQ(CountOf(r.log, "Running Section: Loop"), static_cast<int>(kMaxCallDepth));
}

TEST_F(Runner, LogShowsEachLineExpandedAndTheClosingLines) {
  auto r = Run(Lines({"[Main]", "SET A=x", "SET B=%%A%%%%A%%"}));
  EXPECT_EQ(r.status, 0u);
  for (const char* expected :
       {"Executing : ExecuteScript()", "Executing ScriptOpen()", "Loading and parsing script file : ",
        "Executing LoadScript()", "Executing ParseScript()", "Executing ScriptRun()",
        "Start running script, start section:Main", "Executing line 2: SET A=x",
        "Executing line 3: SET B=xx", "Script finished successfully!!", " closed."}) {
    EXPECT_NE(r.log.find(expected), std::string::npos) << expected;
  }
}

TEST_F(Runner, ReturnIfValueWithAMissingSymbolFailsTheLine) {
  auto r = Run(Lines({"[Main]", "CALL R=Sub", "[Sub]", "RETURNIF 1==1, %%Missing%%"}));
  EXPECT_EQ(r.status, 28u);
  EXPECT_EQ(TheFinalStatus().message, "Orqex Script: Specified symbol was not found.<br>RETURNIF 1==1, %%Missing%%");
}
}  // namespace
