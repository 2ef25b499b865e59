#include "engine_test_support.h"

namespace {
using Runner = EngineTest;

TEST_F(Runner, ScriptsEndWithTheirStatusLineAndLogLines) {
  const struct {
    const char* script;
    unsigned status;
    const char* failedAt;  // "<line>: <text>" handed to the host ("" when not checked)
    const char* logged;
    const char* notLogged;
  } rows[] = {
      // Results: RETURN's value, RETURNIF's value when it holds, TRUE for a section that ends,
      // a missing symbol returned as written; a missing section ends the run, unreported.
      {"[Main]\nSET X=abc\nSET A=1\nCALL R=Ret\nCONTINUEIF %%R%%==abc\nCALL R=Sub\n"
       "CONTINUEIF %%R%%==yes\nSET A=2\nCALL R=Sub\nCONTINUEIF %%R%%==TRUE\nCALL R=Miss\n"
       "CONTINUEIF %%R%%==%%NOSUCH%%\nCALL R=Missing\n[Ret]\nRETURN %%X%%\nFOO\n"
       "[Sub]\nRETURNIF %%A%%==1, yes\nSET Next=1\n[Miss]\nRETURN   %%NOSUCH%%  ",
       4, "", "Executing line 19: SET Next=1", "Error:"},
      {"[Main]\nRETURN x\nRETURNIF 1==1, y\nFOO", 2, "4: FOO ", "", ""},  // start section
      {"[Main]\nSET A=1\nGOTOIF %%A%%==1, Other\nFOO\n[Other]\nSET O=1", 0, "",
       "Running Section: Other", ""},
      {"[Main]\nSET A=2\nGOTOIF %%A%%==1, Other\nFOO\n[Other]\nFOO", 0, "", "", "Running Section"},
      {"[Main]\nCALL R=Sub\nCONTINUEIF %%R%%==TRUE\nFOO\n[Sub]\nGOTOIF 1==2, Nowhere\nFOO", 2,
       "4: FOO ", "", ""},
      {"[Main]\nGOTOIF 1==1, Bad\n[Bad]\nSET X", 23, "4: SET X",
       "Error: Nowhere to put value.\n>>Line 4: SET X", ""},
      {"[Main]\nGOTOIF 1==1", 51, "", "", "Error:"},
      {"[Main]\nCALL Sub\n[Sub]\nRETURNIF 1==1", 51, "4: RETURNIF 1==1",
       "Error: Invalid switch or value supplied in command line parameters.\n>>Line 4: RETURNIF", ""},
      {"[Main]\nCALL R=Sub\n[Sub]\nRETURNIF 1==1, %%Missing%%", 28, "4: RETURNIF 1==1, %%Missing%%",
       "", ""},
      {"[Main]\nSET A=1\nCALLIF %%A%%==2, R=Bad\nCALLIF %%A%%==1, R = Good\n"
       "CONTINUEIF %%R%%==ok\nFOO\n[Bad]\nFOO\n[Good]\nRETURN ok",
       2, "6: FOO ", "", ""},
      {"[Main]\nCALL R=Sub\nSET Never=1\n[Sub]\nFOO bar", 2, "5: FOO bar",
       "Error: Unrecognized command in script file.\n>>Line 5: FOO bar", "SET Never"},
      {"[Main]\nCOPYFILEAS a b", 2, "", "", "Error:"},  // a known word without a handler
      // SET splits at the first "=", overwrites, takes an empty name and a lone "%".
      {"[Main]\nSET A=x\nSET B=%%A%%y\nSET A=z\nSET G=a=b\nSET =v\nSET D=50%\nSET K=%%B\n"
       "CONTINUEIF %%B%%==xy\nCONTINUEIF %%A%%==z\nCONTINUEIF %%G%%==a=b\nCONTINUEIF %%%%==v\n"
       "CONTINUEIF %%D%%==50%\nCONTINUEIF %%K%%==\nSET F=%%Missing%% tail\n",
       28, "", "Error: Specified symbol was not found.\n>>Line 15: SET F=%%Missing%% tail", ""},
      // Section names are found exactly, and the first of two wins.
      {"[ Main ]\n[main]\nSET X=1", 7, "", "", ""},
      {"[Main]\nCALL R=Two\nCONTINUEIF %%R%%==one\nFOO\n[Two]\nRETURN one\n[Two]\nRETURN two", 2,
       "4: FOO ", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.script);
    ScriptRunResult r = Run(row.script);
    EXPECT_EQ(r.status, row.status) << r.log;
    EXPECT_EQ(*row.failedAt ? std::to_string(r.errorLine) + ": " + r.errorText : "", row.failedAt);
    EXPECT_NE(r.log.find(row.logged), std::string::npos) << r.log;
    EXPECT_EQ(*row.notLogged ? r.log.find(row.notLogged) : std::string::npos, std::string::npos)
        << r.log;
  }
}

TEST_F(Runner, EndlessRecursionFailsOnceAtTheNestingBound) {
  auto r = Run("[Main]\nCALL R=Loop\n[Loop]\nSET N=1\nCALL Loop\n");
  EXPECT_EQ(r.status, 58u);
  EXPECT_EQ(CountOf(r.log, "Error: Sections call each other too deeply."), 1);
  EXPECT_EQ(CountOf(r.log, "Running Section: Loop"), static_cast<int>(kMaxCallDepth));
}
}  // namespace
