// Starts a program with a command line exactly as given, unquoted paths included (the wine
// launcher would quote them), and waits for it to end; killing the probe ends it too.
//   start_probe <program path> <whole command line>
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(argv[1], argv[2], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 1;
  AssignProcessToJobObject(job, info.hProcess);
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  std::printf("exited %lu\n", code);
  return 0;
}
