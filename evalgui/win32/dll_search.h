#pragma once

// Libraries loaded by name are looked for in the program's folder, System32 and the folders
// added on purpose only: never in the current folder, where a ksthid.dll left in a download
// folder or on a share would otherwise be loaded in place of the program's. Called before the
// first library is loaded.
void restrictDllSearch();
