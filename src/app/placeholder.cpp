// Kept until the main window exists.
