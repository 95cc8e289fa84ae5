// Compiled only so that its target builds the precompiled headers
// (cmake/trelvanic.cmake); it defines nothing.
