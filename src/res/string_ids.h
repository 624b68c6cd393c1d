#pragma once

// Identifiers of the tool's string table (strings.rc): the messages a user sees when the virtual
// desktop's media engine could not collect its logs, by the status it gave.
#define IDS_PELLOW_COLLECT_STATUS_4 62037
#define IDS_PELLOW_COLLECT_STATUS_5 62038
#define IDS_PELLOW_COLLECT_STATUS_6 62039
