"""Checks that the Windows workflow parses and has the jobs the README promises.

    python3 scripts/check_workflow.py .github/workflows/windows.yml
"""
import sys

import yaml


def main(path):
    with open(path, encoding="utf-8") as stream:
        workflow = yaml.safe_load(stream)
    jobs = workflow.get("jobs") or {}
    problems = []
    if sorted(jobs) != ["mingw", "msvc"]:
        problems.append(f"jobs are {sorted(jobs)}, expected msvc and mingw")
    arches = (jobs.get("msvc", {}).get("strategy", {}).get("matrix", {}) or {}).get("arch")
    if sorted(arches or []) != ["Win32", "x64"]:
        problems.append(f"msvc builds {arches}, expected x64 and Win32")
    for name, job in jobs.items():
        runs = " ".join(step.get("run", "") for step in job.get("steps", []))
        for command in ("cmake -S", "cmake --build", "ctest"):
            if command not in runs:
                problems.append(f"job {name} has no '{command}' step")
    for problem in problems:
        print(f"{path}: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
