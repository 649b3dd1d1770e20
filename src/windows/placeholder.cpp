// Kept until the first window of this folder exists.
