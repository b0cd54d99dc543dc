#include "ResultView.h"

ResultView::~ResultView() = default;

const char *ResultView::HeadlineKey(Outcome outcome)
{
    switch (outcome) {
    case Outcome::PartlyFailed: return "IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPPART_LABEL";
    case Outcome::Failed: return "IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPFAIL_LABEL";
    case Outcome::Interrupted: return "IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPINTERRUPTED_LABEL";
    case Outcome::Complete: break;
    }
    return "IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL";
}
