#include "app/machines.h"

#include <gtest/gtest.h>

namespace h33 {
namespace {

TEST(FindMachinePreset, TakesNamesAsPeopleTypeThem) {
  const struct {
    const char* typed;
    int index;
  } cases[] = {
      {"None", 0},    {"none", 0},    {"NONE", 0},    {"0", 0},        {"ФП-9", 1},
      {"фп-9", 1},    {"FP-9", 1},    {"fp-9", 1},    {"ФП-17", 2},    {"фп-17", 2},
      {"FP-17", 2},   {"2", 2},       {"6М13СН", 3},  {"6M13CH", 3},   {"6m13ch", 3},
      {"6М13CH", 3},  {"МА655А2", 4}, {"MA655A2", 4}, {"ма655а2", 4},  {"4", 4},
  };
  for (const auto& [typed, index] : cases) {
    EXPECT_EQ(FindMachinePreset(typed), index) << typed;
  }
}

TEST(FindMachinePreset, RefusesWhatNamesNoMachine) {
  for (const char* typed : {"", "5", "-1", "ФП", "FP-1", "6M13", "Nonе1", "ФП-17 "}) {
    EXPECT_EQ(FindMachinePreset(typed), std::nullopt) << typed;
  }
}

}  // namespace
}  // namespace h33
