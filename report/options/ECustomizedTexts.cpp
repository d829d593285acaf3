#include "report/options/ECustomizedTexts.h"

#include "platform/SysUtils.h"

namespace {

constexpr std::array<std::string_view, CustomizedTextCount> kDefaults = {
    "Information.",
    "Question.",
    "Error.",
    "An error has occurred during program execution.\r\n"
    "Please read the following information for further details.",
    "General",
    "General Information",
    "Call Stack",
    "Call Stack Information",
    "Modules",
    "Modules Information",
    "CPU",
    "CPU Information",
    "Other",
    "Other Information",
    "&OK",
    "&Terminate",
    "&Restart",
    "&Details",
    "&Send this error via Internet",
    "&Attach a Screenshot image",
    "&Copy to Clipboard",
    "Go to the Support Page",
    "Application",
    "Start Date",
    "Name/Description",
    "Version Number",
    "Parameters",
    "Compilation Date",
    "Exception",
    "Date",
    "Address",
    "Module",
    "Type",
    "Message",
    "Active Controls",
    "Form Class",
    "Form Text",
    "Control Class",
    "Control Text",
    "Computer",
    "Name",
    "User",
    "Total Memory",
    "Free Memory",
    "Total Disk",
    "Free Disk",
    "System Up Time",
    "Processor",
    "Display Mode",
    "Operating System",
    "Type",
    "Build #",
    "Update",
    "Language",
    "Network",
    "IP Address",
    "Submask",
    "Gateway",
    "DNS 1",
    "DNS 2",
    "DHCP",
    "Custom Information",
    "Address",
    "Module",
    "Unit",
    "Class",
    "Procedure/Method",
    "Line",
    "Main",
    "Exception Thread",
    "Running Thread",
    "Calling Thread",
    "ID",
    "Priority",
    "Class",
    "Send.",
    "Message",
    "Resolving DNS...",
    "Connecting with server...",
    "Connected with server.",
    "Sending message...",
    "Request",
    "Please describe the steps to reproduce the error:",
    "&OK",
    "Handle",
    "Name",
    "Description",
    "Version",
    "Size",
    "Modified",
    "Path",
    "Registers",
    "Stack",
    "Memory Dump",
    "The message was sent successfully.",
    "Sorry, sending the message didn't work.",
};

constexpr std::array<TCustomizedTextKey, CustomizedTextKeyTableSize> kKeyTable = {{
    {"Texts", -1},
    {"Message captions", -1},
    {"Information", 0},
    {"Question", 1},
    {"Exception Dialog", -1},
    {"Caption", 2},
    {"Error message", 3},
    {"General Caption", 4},
    {"General Header", 5},
    {"Call Stack Caption", 6},
    {"Call Stack Header", 7},
    {"Modules List Caption", 8},
    {"Modules List Header", 9},
    {"CPU Caption", 10},
    {"CPU Header", 11},
    {"Custom Data Caption", 12},
    {"Custom Data Header", 13},
    {"OK Button", 14},
    {"Terminate Button", 15},
    {"Restart Button", 16},
    {"Details Button", 17},
    {"Email message", 18},
    {"Screenshot message", 19},
    {"Copy message", 20},
    {"Support message", 21},
    {"Send Dialog", -1},
    {"Caption", 75},
    {"Message", 76},
    {"Resolving message", 77},
    {"Connecting message", 78},
    {"Connected message", 79},
    {"Sending message", 80},
    {"Reproduce Dialog", -1},
    {"Caption", 81},
    {"Request message", 82},
    {"OK Button", 83},
    {"Log", -1},
    {"Application Header", 22},
    {"Start Date", 23},
    {"Name/Description", 24},
    {"Version Number", 25},
    {"Parameters", 26},
    {"Compilation Date", 27},
    {"Exception Header", 28},
    {"Date", 29},
    {"Address", 30},
    {"Module", 31},
    {"Type", 32},
    {"Message", 33},
    {"Active Controls Header", 34},
    {"Form Class", 35},
    {"Form Text", 36},
    {"Control Class", 37},
    {"Control Text", 38},
    {"Computer Header", 39},
    {"Name", 40},
    {"User", 41},
    {"Total Memory", 42},
    {"Free Memory", 43},
    {"Total Disk", 44},
    {"Free Disk", 45},
    {"System Up Time", 46},
    {"Processor", 47},
    {"Display Mode", 48},
    {"Operating System Header", 49},
    {"Type", 50},
    {"Build #", 51},
    {"Update", 52},
    {"Language", 53},
    {"Network", 54},
    {"IP Address", 55},
    {"Submask", 56},
    {"Gateway", 57},
    {"DNS 1", 58},
    {"DNS 2", 59},
    {"DHCP", 60},
    {"Custom Information Header", 61},
    {"Call Stack", -1},
    {"Address", 62},
    {"Module", 63},
    {"Unit", 64},
    {"Class", 65},
    {"Procedure/Method", 66},
    {"Line", 67},
    {"Threads Data", -1},
    {"Main Thread", 68},
    {"Exception Thread", 69},
    {"Running Thread", 70},
    {"Calling Thread", 71},
    {"Thread ID", 72},
    {"Thread Priority", 73},
    {"Thread Class", 74},
    {"Modules List", -1},
    {"Handle", 84},
    {"Name", 85},
    {"Description", 86},
    {"Version", 87},
    {"Size", 88},
    {"Last Modified", 89},
    {"Path", 90},
    {"CPU", -1},
    {"Registers", 91},
    {"Stack", 92},
    {"Memory Dump", 93},
    {"Send messages", -1},
    {"Success", 94},
    {"Failure", 95},
}};

void CheckTextIndex(int index) {
  if (index < 0 || index >= CustomizedTextCount)
    throw EListError(Format("Customized text index out of bounds (%d).", index));
}

// Position in the key table of a text's key, and of the heading of its group.
struct KeyPosition {
  int key = -1;
  int group = -1;
};

std::array<KeyPosition, CustomizedTextCount> IndexKeyTable() {
  std::array<KeyPosition, CustomizedTextCount> positions{};
  int group = 0;
  for (int row = 0; row < CustomizedTextKeyTableSize; ++row) {
    if (kKeyTable[row].TextIndex < 0) {
      group = row;
    } else {
      positions[kKeyTable[row].TextIndex] = {row, group};
    }
  }
  return positions;
}

const std::array<KeyPosition, CustomizedTextCount>& KeyPositions() {
  static const auto positions = IndexKeyTable();
  return positions;
}

}  // namespace

std::string_view DefaultCustomizedText(int index) {
  CheckTextIndex(index);
  return kDefaults[index];
}

TCustomizedTexts DefaultCustomizedTexts() {
  TCustomizedTexts texts;
  for (int i = 0; i < CustomizedTextCount; ++i) texts[i] = kDefaults[i];
  return texts;
}

std::span<const TCustomizedTextKey> CustomizedTextKeyTable() { return kKeyTable; }

std::string_view CustomizedTextGroup(int index) {
  CheckTextIndex(index);
  return kKeyTable[KeyPositions()[index].group].Name;
}

std::string_view CustomizedTextKeyName(int index) {
  CheckTextIndex(index);
  return kKeyTable[KeyPositions()[index].key].Name;
}
