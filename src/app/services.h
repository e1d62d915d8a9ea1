#pragma once

class Desktop;
class FolderFiles;
class FolderWatch;
class Notifications;
class Processes;
class ProgramLife;
class Prompts;
class Volumes;

// The operating system as the application uses it, each part behind its own
// interface: the Linux ones in the program, stand-ins in the tests.
struct Services {
    Processes& processes;
    FolderFiles& files;
    Volumes& volumes;
    Desktop& desktop;
    ProgramLife& life;
    Prompts& prompts;  // the boxes a person answers
    FolderWatch& folderWatch;
    Notifications& notifications;
};
