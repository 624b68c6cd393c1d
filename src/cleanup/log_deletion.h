#pragma once

// The last stage of every run that got past the settings: deletes the tool's working files and,
// when the settings ask for it, the client's logs.
void cleanUpAfterReport();
