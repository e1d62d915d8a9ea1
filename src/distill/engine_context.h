#pragma once

class Configuration;
class FolderFiles;
class PdfResults;
class Processes;
class Prompts;
class TextTable;

// What the distiller, each of its conversions and the merge job work with.
struct EngineContext {
    Configuration& config;
    PdfResults& results;
    const TextTable& texts;
    Prompts& prompts;
    FolderFiles& files;
    Processes& processes;
};
