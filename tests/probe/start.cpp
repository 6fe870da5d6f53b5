// Starting a program with a command line exactly as given: unquoted paths with blanks included,
// which the wine launcher would quote.
#include "tests/probe/probe.h"

LW_PROBE_COMMAND(start, "start PROGRAM \"COMMAND LINE\": runs it until it ends (killing the probe ends it too)") {
  if (args.size() != 2) return 2;
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = args[1];
  if (!CreateProcessW(args[0].c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return probe::Say("start-failed %lu", GetLastError()), 1;
  AssignProcessToJobObject(job, info.hProcess);
  WaitForSingleObject(info.hProcess, INFINITE);
  return 0;
}
