// Two functions of emscripten's SDL, for the game's calls. SDL_PeepEvents of
// emscripten's SDL takes one event a call (it aborts the
// program when more are asked, as the game does after a switch of mode):
// here as many as asked, into successive slots, with the same filter.
mergeInto(LibraryManager.library, {
  // Emscripten's SDL_InitSubSystem does nothing, so a joystick subsystem
  // started after SDL_Init (as the game starts it) was never polled.
  SDL_InitSubSystem__deps: ['$SDL'],
  SDL_InitSubSystem: function(drapeaux) {
    SDL.initFlags = (SDL.initFlags || 0) | drapeaux;
    return 0;
  },

  SDL_PeepEvents__deps: ['$SDL', 'CorvellaTailleEvenement'],
  SDL_PeepEvents: function(evenements, nombre, action, de, a) {
    if (action !== 2) return -1; // SDL_GETEVENT only, as emscripten's own
    var taille = _CorvellaTailleEvenement();
    var index = 0;
    var pris = 0;
    while (index < SDL.events.length && pris < nombre) {
      var evenement = SDL.events[index];
      var type = SDL.DOMEventToSDLEvent[evenement.type];
      if (de <= type && type <= a && SDL.makeCEvent(evenement, evenements + pris * taille) !== false) {
        SDL.events.splice(index, 1);
        pris++;
      } else {
        index++;
      }
    }
    return pris;
  },
});
