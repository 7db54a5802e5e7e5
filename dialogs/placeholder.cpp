// Placeholder so that the folder's library builds before its sources land.
