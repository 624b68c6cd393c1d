#pragma once

// Lays out what a running client keeps on disk, in the user's client folders: a log folder with
// rotated logs, configuration files holding passwords, the exports of its services, a stored
// crash trace, a contacts folder and a diagnostics folder. False when something cannot be written.
bool layOutClientMaterial();
