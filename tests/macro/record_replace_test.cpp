// Recording a step in place of the last one: only a last step of the named form gives way, and
// nothing is recorded while recording is off or a macro plays.
#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

using Replacing = MacroTest;

TEST_F(Replacing, OnlyALastStepWithThePrefixGivesWay) {
    struct Case {
        std::vector<std::string> before;
        std::vector<std::string> after;
    };
    const std::string prefix = "Data_AlignmentFree,3,";
    for (const Case& c : {
             Case{{"Data_SelectAll", "Data_AlignmentFree,3,120"},
                  {"Data_SelectAll", "Data_Alignment,3"}},
             // Column 30 is not column 3; a drag further back is not the last step.
             Case{{"Data_AlignmentFree,30,120"}, {"Data_AlignmentFree,30,120", "Data_Alignment,3"}},
             Case{{"Data_AlignmentFree,3,120", "Data_Copy"},
                  {"Data_AlignmentFree,3,120", "Data_Copy", "Data_Alignment,3"}},
             Case{{}, {"Data_Alignment,3"}},
         }) {
        macro.StartRecording();
        for (const std::string& step : c.before)
            macro.record(step);
        app.RecordReplacingLast(StepBuilder("Data_Alignment").number(3), prefix);
        EXPECT_EQ(macro.RecordedSteps(), c.after);
    }
}

std::int32_t fitWhilePlaying(CMacro&, StepFields&) {
    KWApp()->RecordReplacingLast(StepBuilder("Data_Alignment").number(3), "Data_AlignmentFree,3,");
    return 1;
}

TEST_F(Replacing, NothingChangesWhileNotRecordingOrWhileAMacroPlays) {
    app.RecordReplacingLast(StepBuilder("Data_Alignment").number(3), "");
    macro.StartRecording();
    EXPECT_TRUE(macro.RecordedSteps().empty());  // nothing was kept from before

    windows.open = true;
    macro.RegisterPlayer("Data_Alignment", fitWhilePlaying);
    macro.AddMacro("fit", "", {"Data_Alignment,3"});
    macro.record("Data_AlignmentFree,3,120");
    ASSERT_EQ(macro.RunMacro(0), 1);
    EXPECT_EQ(macro.RecordedSteps(),
              (std::vector<std::string>{"Data_AlignmentFree,3,120", "ExeMacro,\"fit\""}));
}

}  // namespace
}  // namespace zbq::test
