#include "report/ap_report.h"

#include "app/stage_guard.h"

CApReport::CApReport()
{
    // Both exports are taken now, once: what the client changes later does not reach the report.
    runStage(L"service exports", [this] {
        getServiceText(0);
        getServiceText(1);
    });
}

CApReport::~CApReport() = default;
