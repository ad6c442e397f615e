// The open design as a document: whether it has unsaved changes, whether it has a file yet,
// and which LCD type the LCDs menu shows checked. Owned by the user-interface thread.
#pragma once

struct stDesignDocument {
    int modified;
    int noDesignFile;
    int lcdMenuSelection;  // menu id of the design's LCD type, 0 for none
};

stDesignDocument& DesignDocument();
