// The one source of the targets that compile the shared precompiled headers.
