// SDL's Web Audio output calls autoResumeAudioContext and dynCall, which this emscripten does not
// bring in by itself: the audio then throws when it starts. Depending on them here keeps them.
mergeInto(LibraryManager.library, {
  tuveroKeepSdlAudioNeeds__deps: ['$autoResumeAudioContext', '$dynCall'],
  tuveroKeepSdlAudioNeeds: function() {},
});
