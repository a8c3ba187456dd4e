// The two ways drvpkg prints its results: lines for people and JSON for scripts.
#pragma once
#include <ostream>
#include <vector>

#include "tools/drvpkg/Findings.h"
#include "tools/drvpkg/PlanRun.h"

namespace drvpkg {

void PrintFindings(std::ostream& out, const std::vector<Finding>& findings);
void PrintFindingsJson(std::ostream& out, const std::vector<Finding>& findings);
void PrintPlan(std::ostream& out, const PlanResult& plan);
void PrintPlanJson(std::ostream& out, const PlanResult& plan);

}  // namespace drvpkg
