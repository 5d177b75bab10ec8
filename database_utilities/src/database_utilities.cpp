// Placeholder until the DatabaseUtilities class lands.
